#include "EntryFixture.h"
#include "entry/TheoryEntryDialog.h"
#include "store/SqliteDatabase.h"

#include <QPushButton>
#include <QTimer>

#include <sqlite3.h>

namespace {

const QString Refused = QStringLiteral("错误|出现输入的文字超长或者类型不正确!");

template <class T> T* child(QWidget* dialog, const char* name)
{
    T* w = dialog->findChild<T*>(QLatin1String(name));
    if (!w)
        qFatal("no input %s", name);
    return w;
}

QLineEdit* edit(QWidget* d, const char* name)
{
    return child<QLineEdit>(d, name);
}

QComboBox* combo(QWidget* d, const char* name)
{
    return child<QComboBox>(d, name);
}

QStringList items(QComboBox* c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

// The inputs of a complete, valid theory row.
void fillValidRow(QWidget* d)
{
    EntryFixture::type(edit(d, "kname"), QStringLiteral("高等数学"));
    EntryFixture::type(edit(d, "t1"), QStringLiteral("32"));
    EntryFixture::type(edit(d, "banji"), QStringLiteral("计算机1班"));
    EntryFixture::type(edit(d, "r1"), QStringLiteral("30"));
    EntryFixture::type(combo(d, "shuoming"), QStringLiteral("专业课"));
}

void clickOk(QWidget* d)
{
    QTest::mouseClick(child<QPushButton>(d, "BitBtn1"), Qt::LeftButton);
}

// Lets the store file grow no further and fills the last free room of gzl with the smallest rows
// (serials from 100000 on), so that the store itself answers the next row with "disk full".
void fillTheDisk(Database& db)
{
    SqliteDatabase::of(db).executeInternal(
        QStringLiteral("PRAGMA max_page_count=%1")
            .arg(db.select(QStringLiteral("PRAGMA page_count")).rows.front().value(0).toLongLong()));
    for (int xh = 100000; xh < 200000; ++xh) {
        try {
            db.execute(QStringLiteral("insert into gzl (xh) values (%1)").arg(xh));
        } catch (const StoreError& e) {
            QCOMPARE(e.text(), QStringLiteral("database or disk is full"));
            return;
        }
    }
    QFAIL("the store never ran full");
}

} // namespace

class TestTheoryEntry : public QObject
{
    Q_OBJECT
private slots:
    void addingStoresTheDocumentedRowAndStatement()
    {
        EntryFixture f;
        f.session.NextXh = 41;
        QStringList statements;
        f.store.db().setTracer([&](const QString& s) { statements << s; });
        TheoryEntryDialog dialog(f.store.data(), f.session);
        dialog.show(TheoryEntryDialog::Mode::Add);
        fillValidRow(&dialog);
        clickOk(&dialog);

        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(MessageBox::shown().empty());
        QCOMPARE(f.session.NextXh, 42);
        const QString insert =
            QStringList{QStringLiteral(
                            "insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,gm,bg,yan,banji,r1,kname,t1,shuoming,r2,t2,"
                            "fzs,xingzhi,zhicheng,gangwei,fl,nd)"),
                        QStringLiteral(" values(42,"),
                        QStringLiteral("'张三',"),
                        QStringLiteral("'理学院',"),
                        QStringLiteral("'数学教研室',"),
                        QStringLiteral("0,0,"),
                        QStringLiteral("'本科生',"),
                        QStringLiteral("'计算机1班',"),
                        QStringLiteral("30,"),
                        QStringLiteral("'高等数学',"),
                        QStringLiteral("32,"),
                        QStringLiteral("'专业课',"),
                        QStringLiteral("0,"),
                        QStringLiteral("0,"),
                        QStringLiteral("1,"),
                        QStringLiteral("'专职',"),
                        QStringLiteral("'教授',"),
                        QStringLiteral("'教学岗',"),
                        QStringLiteral("'理论实验',"),
                        QStringLiteral("'%1')").arg(f.year)}
                .join(u'\n');
        QVERIFY2(statements.contains(insert), qPrintable(statements.join(QStringLiteral("\n---\n"))));
        QVERIFY(statements.contains(QStringLiteral("update sysparameter set \nsunxu=sunxu-1\n"
                                                   "where shuoming='专业课' and yan='本专生'")));

        QCOMPARE(f.store.count(QStringLiteral("gzl")), 1);
        QCOMPARE(f.value(42, QStringLiteral("kname")), QStringLiteral("高等数学"));
        QCOMPARE(f.value(42, QStringLiteral("t1")), QStringLiteral("32"));
        QCOMPARE(f.value(42, QStringLiteral("fzs")), QStringLiteral("1"));
        QCOMPARE(f.value(42, QStringLiteral("nd")), f.year);
        QCOMPARE(f.value(42, QStringLiteral("q11")), QString()); // computed columns stay empty
        // The grid's holder was re-opened with the main window's statement and shows the row.
        Query* grid = f.store.data().dtllsj;
        QVERIFY(grid->isActive());
        QCOMPARE(grid->recordCount(), 1);
        QCOMPARE(grid->fieldByName(QStringLiteral("Xh")).asInteger(), 42);
        QVERIFY(grid->text().startsWith(QStringLiteral("select * from gzl where fl='理论实验' and nd like")));
    }

    void openingResetsOrReloadsEveryInput()
    {
        EntryFixture f;
        f.store.db().execute(
            QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,fl,nd,kname,t1,banji,r1,shuoming,yan,t2,r2,"
                           "fzs,gm,bg) values (7,'张三','理学院','数学教研室','理论实验','%1','线性代数',2.5,'数学2班',"
                           "45,'手填类型','研究生',16,40,3,1,1)")
                .arg(f.year));
        f.reopenViews();
        TheoryEntryDialog dialog(f.store.data(), f.session);
        const QStringList courseTypes{QStringLiteral("公共基础课"), QStringLiteral("专业基础课"),
                                      QStringLiteral("专业课"),     QStringLiteral("双语课"),
                                      QStringLiteral("实验课"),     QStringLiteral("体育课")};

        dialog.show(TheoryEntryDialog::Mode::Edit);
        QCOMPARE(edit(&dialog, "kname")->text(), QStringLiteral("线性代数"));
        QCOMPARE(edit(&dialog, "t1")->text(), QStringLiteral("2.5")); // general form, not the grid's
        QCOMPARE(edit(&dialog, "banji")->text(), QStringLiteral("数学2班"));
        QCOMPARE(edit(&dialog, "r1")->text(), QStringLiteral("45"));
        QCOMPARE(combo(&dialog, "shuoming")->currentText(), QStringLiteral("手填类型"));
        QCOMPARE(items(combo(&dialog, "shuoming")), courseTypes);
        QCOMPARE(combo(&dialog, "yan")->currentText(), QStringLiteral("研究生"));
        QCOMPARE(edit(&dialog, "t2")->text(), QStringLiteral("16"));
        QCOMPARE(edit(&dialog, "r2")->text(), QStringLiteral("40"));
        QCOMPARE(edit(&dialog, "fzs")->text(), QStringLiteral("3"));
        QCOMPARE(combo(&dialog, "gm")->currentText(), QStringLiteral("否"));
        QCOMPARE(combo(&dialog, "bg")->currentText(), QStringLiteral("无"));
        dialog.reject();

        // The next showing for adding carries nothing over.
        dialog.show(TheoryEntryDialog::Mode::Add);
        const QStringList expected{QString(),           QStringLiteral("0"), QString(),          QStringLiteral("0"),
                                   QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1")};
        QStringList actual;
        for (const char* name : {"kname", "t1", "banji", "r1", "t2", "r2", "fzs"})
            actual << edit(&dialog, name)->text();
        QCOMPARE(actual, expected);
        QCOMPARE(combo(&dialog, "shuoming")->currentText(), courseTypes.first());
        QCOMPARE(items(combo(&dialog, "shuoming")), courseTypes);
        QCOMPARE(combo(&dialog, "yan")->currentText(), QStringLiteral("本科生"));
        QCOMPARE(items(combo(&dialog, "yan")),
                 (QStringList{QStringLiteral("本科生"), QStringLiteral("专科生"), QStringLiteral("研究生")}));
        QCOMPARE(combo(&dialog, "gm")->currentText(), QStringLiteral("是"));
        QCOMPARE(combo(&dialog, "bg")->currentText(), QStringLiteral("有"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("录入理论实验工作量"));
    }

    void amountCheck_data()
    {
        QTest::addColumn<QString>("t1");
        QTest::addColumn<QString>("t2");
        QTest::addColumn<QString>("r1");
        QTest::addColumn<QString>("outcome"); // saved, silent or the message shown
        QTest::newRow("all zero") << "0"
                                  << "0"
                                  << "0"
                                  << "silent";
        QTest::newRow("theory hours not whole") << "32.5"
                                                << "16"
                                                << "30"
                                                << "silent";
        QTest::newRow("theory hours with exponent") << "3e1"
                                                    << "0"
                                                    << "30"
                                                    << "silent";
        QTest::newRow("theory hours empty") << ""
                                            << "16"
                                            << "30"
                                            << "silent";
        QTest::newRow("lab hours reached and not a number") << "0"
                                                            << "abc"
                                                            << "30"
                                                            << "silent";
        QTest::newRow("lab hours only") << "0"
                                        << "16"
                                        << "0"
                                        << "saved";
        QTest::newRow("students only") << "0"
                                       << "0"
                                       << "30"
                                       << "saved";
        QTest::newRow("negative theory hours, students") << "-2"
                                                         << "0"
                                                         << "30"
                                                         << "saved";
        // Theory hours pass, so lab hours are never examined by the check; the store refuses them.
        QTest::newRow("lab hours not examined") << "32"
                                                << "abc"
                                                << "0"
                                                << "refused";
    }
    void amountCheck()
    {
        QFETCH(QString, t1);
        QFETCH(QString, t2);
        QFETCH(QString, r1);
        QFETCH(QString, outcome);
        EntryFixture f;
        f.session.NextXh = 5;
        TheoryEntryDialog dialog(f.store.data(), f.session);
        dialog.show(TheoryEntryDialog::Mode::Add);
        fillValidRow(&dialog);
        EntryFixture::type(edit(&dialog, "t1"), t1);
        EntryFixture::type(edit(&dialog, "t2"), t2);
        EntryFixture::type(edit(&dialog, "r1"), r1);
        clickOk(&dialog);

        QCOMPARE(f.store.count(QStringLiteral("gzl")), outcome == "saved" ? 1 : 0);
        QCOMPARE(dialog.isVisible(), outcome != "saved");
        QCOMPARE(EntryFixture::shownTexts(), outcome == "refused" ? QStringList{Refused} : QStringList{});
        // Only an insert attempt takes a serial.
        QCOMPARE(f.session.NextXh, outcome == "silent" ? 5 : 6);
    }

    void emptyNameOrClass_data()
    {
        QTest::addColumn<QString>("kname");
        QTest::addColumn<QString>("banji");
        QTest::newRow("no course name") << ""
                                        << "计算机1班";
        QTest::newRow("blank course name") << "   "
                                           << "计算机1班";
        QTest::newRow("blank class") << "高等数学"
                                     << " ";
    }
    void emptyNameOrClass()
    {
        QFETCH(QString, kname);
        QFETCH(QString, banji);
        EntryFixture f;
        TheoryEntryDialog dialog(f.store.data(), f.session);
        dialog.show(TheoryEntryDialog::Mode::Add);
        fillValidRow(&dialog);
        EntryFixture::type(edit(&dialog, "kname"), kname);
        EntryFixture::type(edit(&dialog, "banji"), banji);
        clickOk(&dialog);
        QCOMPARE(EntryFixture::shownTexts(), QStringList{QStringLiteral("错误|课程名称和班级名称不能为空!")});
        QCOMPARE(MessageBox::shown().front().icon, MessageBox::Error);
        QVERIFY(dialog.isVisible());
        QCOMPARE(f.store.count(QStringLiteral("gzl")), 0);
        QCOMPARE(f.session.NextXh, 0);
    }

    void refusedRowWritesNothingAndKeepsTheInput_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("text");
        QTest::newRow("course name over 25 bytes") << "kname" << QStringLiteral("高等数学高等数学高等数学高");
        QTest::newRow("class over 25 bytes") << "banji" << QStringLiteral("计算机科学与技术专业一年级一班");
        QTest::newRow("lab students not a number") << "r2" << QStringLiteral("abc");
        QTest::newRow("lab groups empty") << "fzs" << QString();
        QTest::newRow("students in full-width digits") << "r1" << QStringLiteral("３０");
        QTest::newRow("expression") << "r2" << QStringLiteral("1+1");
        QTest::newRow("statement fragment") << "r2" << QStringLiteral("0,t1=99");
        QTest::newRow("subselect") << "t2" << QStringLiteral("(select max(sunxu) from sysparameter)");
        QTest::newRow("beyond every finite number") << "r2" << QStringLiteral("1e999");
        // The store names the reason: that alone is shown.
        QTest::newRow("course name without a GBK form") << "kname" << QStringLiteral("高等数学ก");
    }
    // The teacher is looked up when the row is written: one deleted or renamed meanwhile (by
    // another program on the store) gets no row with empty or stale names.
    void teacherGoneMeanwhileWritesNothing()
    {
        EntryFixture f;
        TheoryEntryDialog dialog(f.store.data(), f.session);
        dialog.show(TheoryEntryDialog::Mode::Add);
        fillValidRow(&dialog);
        f.store.db().execute(QStringLiteral("update rydm set rymc='李四'"));
        clickOk(&dialog);

        QCOMPARE(EntryFixture::shownTexts(), QStringList{QStringLiteral("错误|所选的教师已不在库中，工作量没有保存!")});
        QVERIFY(dialog.isVisible());
        QCOMPARE(f.store.count(QStringLiteral("gzl")), 0);
    }

    void refusedRowWritesNothingAndKeepsTheInput()
    {
        QFETCH(QString, input);
        QFETCH(QString, text);
        EntryFixture f;
        f.session.NextXh = 9;
        const QString sunxu = f.store.scalar(QStringLiteral("select sum(sunxu) from sysparameter"));
        TheoryEntryDialog dialog(f.store.data(), f.session);
        dialog.show(TheoryEntryDialog::Mode::Add);
        fillValidRow(&dialog);
        EntryFixture::type(edit(&dialog, input.toLatin1().constData()), text);
        clickOk(&dialog);

        QCOMPARE(
            EntryFixture::shownTexts(),
            QStringList{text.endsWith(u'ก') ? QStringLiteral("错误|文字含有GBK不能表示的字符: ") + text : Refused});
        QVERIFY(dialog.isVisible());
        QCOMPARE(edit(&dialog, input.toLatin1().constData())->text(), text);
        QCOMPARE(f.store.count(QStringLiteral("gzl")), 0);
        QCOMPARE(f.store.scalar(QStringLiteral("select sum(sunxu) from sysparameter")), sunxu);
        QCOMPARE(f.session.NextXh, 10); // the serial stays taken
    }

    void storeFailureShowsTheStoresText_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("shown");
        QTest::newRow("store locked by another program") << "busy" << QStringLiteral("错误|database is locked");
        QTest::newRow("disk full") << "full" << QStringLiteral("错误|database or disk is full");
    }

    // A store error that does not refuse the input is shown in the store's own words, not as an
    // input that is too long or of the wrong type; nothing is written and the dialog stays open.
    void storeFailureShowsTheStoresText()
    {
        QFETCH(QString, fault);
        QFETCH(QString, shown);
        EntryFixture f;
        f.session.NextXh = 9;
        const QString sunxu = f.store.scalar(QStringLiteral("select sum(sunxu) from sysparameter"));
        std::unique_ptr<Database> other;
        if (fault == u"busy") {
            other = Database::open(f.store.dir());
            other->begin();
        } else {
            fillTheDisk(f.store.db());
        }
        const int rows = f.store.count(QStringLiteral("gzl"));
        TheoryEntryDialog dialog(f.store.data(), f.session);
        dialog.show(TheoryEntryDialog::Mode::Add);
        fillValidRow(&dialog);
        clickOk(&dialog);
        if (other)
            other->rollback();

        QCOMPARE(EntryFixture::shownTexts(), QStringList{shown});
        QVERIFY(dialog.isVisible());
        QCOMPARE(edit(&dialog, "kname")->text(), QStringLiteral("高等数学"));
        QCOMPARE(f.store.count(QStringLiteral("gzl")), rows);
        QCOMPARE(f.store.count(QStringLiteral("gzl"), QStringLiteral("xh<100000")), 0);
        QCOMPARE(f.store.scalar(QStringLiteral("select sum(sunxu) from sysparameter")), sunxu);
    }

    void failedInsertConsumesASerial()
    {
        EntryFixture f;
        f.session.NextXh = 3;
        TheoryEntryDialog dialog(f.store.data(), f.session);
        dialog.show(TheoryEntryDialog::Mode::Add);
        fillValidRow(&dialog);
        EntryFixture::type(edit(&dialog, "r2"), QStringLiteral("abc"));
        clickOk(&dialog);
        QVERIFY(dialog.isVisible());
        EntryFixture::type(edit(&dialog, "r2"), QStringLiteral("0"));
        clickOk(&dialog);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(f.store.scalar(QStringLiteral("select max(xh) from gzl")), QStringLiteral("5"));
    }

    void quotesAreStoredLiterally()
    {
        EntryFixture f(QStringLiteral("O'Neil"));
        TheoryEntryDialog dialog(f.store.data(), f.session);
        dialog.show(TheoryEntryDialog::Mode::Add);
        fillValidRow(&dialog);
        EntryFixture::type(edit(&dialog, "kname"), QStringLiteral("Let's 编程"));
        EntryFixture::type(edit(&dialog, "banji"), QStringLiteral("'1班"));
        EntryFixture::type(combo(&dialog, "shuoming"), QStringLiteral("x' or '1'='1"));
        clickOk(&dialog);
        QVERIFY(MessageBox::shown().empty());
        QCOMPARE(f.value(1, QStringLiteral("kname")), QStringLiteral("Let's 编程"));
        QCOMPARE(f.value(1, QStringLiteral("banji")), QStringLiteral("'1班"));
        QCOMPARE(f.value(1, QStringLiteral("shuoming")), QStringLiteral("x' or '1'='1"));
        QCOMPARE(f.value(1, QStringLiteral("jiaoshi")), QStringLiteral("O'Neil"));
        // The order update matched no parameter row instead of every row.
        QCOMPARE(f.store.count(QStringLiteral("sysparameter"), QStringLiteral("sunxu<=0")), 0);
    }

    void savingLowersTheCourseTypeOfTheStudentGroup_data()
    {
        QTest::addColumn<QString>("studentType");
        QTest::addColumn<QString>("group");
        QTest::newRow("undergraduate") << QStringLiteral("本科生") << QStringLiteral("本专生");
        QTest::newRow("junior college") << QStringLiteral("专科生") << QStringLiteral("本专生");
        QTest::newRow("postgraduate") << QStringLiteral("研究生") << QStringLiteral("研究生");
        QTest::newRow("typed by hand") << QStringLiteral("进修生") << QStringLiteral("本专生");
    }
    void savingLowersTheCourseTypeOfTheStudentGroup()
    {
        QFETCH(QString, studentType);
        QFETCH(QString, group);
        EntryFixture f;
        const auto sunxu = [&](const QString& g) {
            return f.store.scalar(
                QStringLiteral("select sunxu from sysparameter where shuoming='专业课' and yan='%1'").arg(g));
        };
        const QString other = group == QStringLiteral("研究生") ? QStringLiteral("本专生") : QStringLiteral("研究生");
        const double before = sunxu(group).toDouble();
        const QString otherBefore = sunxu(other);
        TheoryEntryDialog dialog(f.store.data(), f.session);
        dialog.show(TheoryEntryDialog::Mode::Add);
        fillValidRow(&dialog);
        EntryFixture::type(combo(&dialog, "yan"), studentType);
        clickOk(&dialog);
        QCOMPARE(f.value(1, QStringLiteral("yan")), studentType);
        QCOMPARE(sunxu(group).toDouble(), before - 1);
        QCOMPARE(sunxu(other), otherBefore);
    }

    void repeatedSavesMoveTheCourseTypeUpTheList()
    {
        EntryFixture f;
        TheoryEntryDialog dialog(f.store.data(), f.session);
        for (int i = 0; i < 2; ++i) {
            dialog.show(TheoryEntryDialog::Mode::Add);
            QVERIFY(items(combo(&dialog, "shuoming")).indexOf(QStringLiteral("实验课")) >
                    items(combo(&dialog, "shuoming")).indexOf(QStringLiteral("双语课")));
            fillValidRow(&dialog);
            EntryFixture::type(combo(&dialog, "shuoming"), QStringLiteral("实验课"));
            clickOk(&dialog);
            QVERIFY(!dialog.isVisible());
        }
        dialog.show(TheoryEntryDialog::Mode::Add);
        const QStringList list = items(combo(&dialog, "shuoming"));
        QVERIFY(list.indexOf(QStringLiteral("实验课")) < list.indexOf(QStringLiteral("双语课")));
        QCOMPARE(f.store.count(QStringLiteral("gzl")), 2);
    }

    void noCourseTypes()
    {
        EntryFixture f;
        f.store.db().execute(QStringLiteral("delete from sysparameter where fenlie=0"));
        TheoryEntryDialog dialog(f.store.data(), f.session);
        dialog.show(TheoryEntryDialog::Mode::Add);
        QCOMPARE(combo(&dialog, "shuoming")->count(), 0);
        QCOMPARE(combo(&dialog, "shuoming")->currentText(), QString());
        EntryFixture::type(edit(&dialog, "kname"), QStringLiteral("高等数学"));
        EntryFixture::type(edit(&dialog, "banji"), QStringLiteral("1班"));
        EntryFixture::type(edit(&dialog, "t1"), QStringLiteral("32"));
        clickOk(&dialog);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(f.value(1, QStringLiteral("shuoming")), QString());
        QCOMPARE(f.store.count(QStringLiteral("gzl"), QStringLiteral("shuoming=''")), 1);
    }

    void yesNoEncodings_data()
    {
        QTest::addColumn<QString>("gmText");
        QTest::addColumn<QString>("bgText");
        QTest::addColumn<QString>("gm");
        QTest::addColumn<QString>("bg");
        QTest::newRow("yes, reports") << "是"
                                      << "有"
                                      << "0"
                                      << "0";
        QTest::newRow("no, none") << "否"
                                  << "无"
                                  << "1"
                                  << "1";
        QTest::newRow("typed by hand") << "是的"
                                       << "有的"
                                       << "1"
                                       << "1";
    }
    void yesNoEncodings()
    {
        QFETCH(QString, gmText);
        QFETCH(QString, bgText);
        QFETCH(QString, gm);
        QFETCH(QString, bg);
        EntryFixture f;
        TheoryEntryDialog dialog(f.store.data(), f.session);
        dialog.show(TheoryEntryDialog::Mode::Add);
        fillValidRow(&dialog);
        EntryFixture::type(combo(&dialog, "gm"), gmText);
        EntryFixture::type(combo(&dialog, "bg"), bgText);
        clickOk(&dialog);
        QCOMPARE(f.value(1, QStringLiteral("gm")), gm);
        QCOMPARE(f.value(1, QStringLiteral("bg")), bg);
    }

    void editingUpdatesTheCurrentRow()
    {
        EntryFixture f;
        f.session.NextXh = 20;
        for (int xh : {11, 12})
            f.store.db().execute(QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,fl,nd,kname,t1,banji,r1,"
                                                "shuoming,yan,t2,r2,fzs,gm,bg,q11) values (%1,'旧名','旧学院',"
                                                "'数学教研室','理论实验','2023-2024学年','课%1',2.5,'2班',45,'专业课',"
                                                "'本科生',0,0,1,0,0,7.5)")
                                     .arg(xh));
        Query* grid = f.store.data().dtllsj;
        grid->setStatement({QStringLiteral("select * from gzl where fl='理论实验' order by xh")});
        grid->open();
        grid->last();
        QStringList statements;
        f.store.db().setTracer([&](const QString& s) { statements << s; });

        TheoryEntryDialog dialog(f.store.data(), f.session);
        dialog.show(TheoryEntryDialog::Mode::Edit);
        QCOMPARE(edit(&dialog, "kname")->text(), QStringLiteral("课12"));
        // Hours of 2.5 are not whole: saving unchanged does nothing and shows nothing.
        clickOk(&dialog);
        QVERIFY(dialog.isVisible());
        QVERIFY(MessageBox::shown().empty());
        QVERIFY(!statements.join(u' ').contains(QStringLiteral("update gzl")));

        EntryFixture::type(edit(&dialog, "t1"), QStringLiteral("40"));
        EntryFixture::type(edit(&dialog, "kname"), QStringLiteral("概率论"));
        clickOk(&dialog);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(f.session.NextXh, 20);
        QVERIFY(statements.contains(
            QStringLiteral(
                "update gzl set \njiaoshi='张三',\nyuanbu='理学院',\njiaoyanshi='数学教研室',\ngm=0,\nbg=0,\n"
                "yan='本科生',\nbanji='2班',\nr1=45,\nkname='概率论',\nt1=40,\nshuoming='专业课',\nr2=0,\n"
                "t2=0,\nfzs=1,\nxingzhi='专职',\nzhicheng='教授',\ngangwei='教学岗',\nfl='理论实验',\n"
                "nd='%1'\nwhere xh='12' and jiaoyanshi='数学教研室' and yuanbu='旧学院'")
                .arg(f.year)));
        QCOMPARE(f.value(12, QStringLiteral("kname")), QStringLiteral("概率论"));
        QCOMPARE(f.value(12, QStringLiteral("jiaoshi")), QStringLiteral("张三"));
        QCOMPARE(f.value(12, QStringLiteral("nd")), f.year);
        QCOMPARE(f.value(12, QStringLiteral("q11")), QStringLiteral("7.5")); // computed columns untouched
        QCOMPARE(f.value(11, QStringLiteral("kname")), QStringLiteral("课11"));
        QCOMPARE(f.store.count(QStringLiteral("gzl")), 2);
        QCOMPARE(grid->recordCount(), 2);
        QCOMPARE(
            f.store.scalar(QStringLiteral("select sunxu from sysparameter where shuoming='专业课' and yan='本专生'")),
            QStringLiteral("2"));
    }

    void failedOrderUpdateLeavesNoRowBehind()
    {
        EntryFixture f;
        SqliteDatabase::of(f.store.db()).setAuthorizer([](int action, const char* table, const char*, const char*) {
            return action == SQLITE_UPDATE && qstrcmp(table, "sysparameter") == 0 ? SQLITE_DENY : SQLITE_OK;
        });
        TheoryEntryDialog dialog(f.store.data(), f.session);
        dialog.show(TheoryEntryDialog::Mode::Add);
        fillValidRow(&dialog);
        clickOk(&dialog);
        QCOMPARE(MessageBox::shown().size(), size_t(1));
        QCOMPARE(MessageBox::shown().front().caption, QStringLiteral("错误"));
        QVERIFY(MessageBox::shown().front().text.contains(QStringLiteral("not authorized")));
        QVERIFY(dialog.isVisible());
        QCOMPARE(f.store.count(QStringLiteral("gzl")), 0);
        QVERIFY(!f.store.db().inTransaction());

        // Once the store accepts the order update again, one "确定" saves exactly one row.
        SqliteDatabase::of(f.store.db()).setAuthorizer({});
        clickOk(&dialog);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(f.store.count(QStringLiteral("gzl")), 1);
    }

    void enterMovesTheFocus_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        const char* chain[] = {"kname", "t1", "banji", "r1", "shuoming", "yan", "t2", "r2", "fzs", "BitBtn1"};
        for (int i = 0; i + 1 < int(std::size(chain)); ++i)
            QTest::newRow(chain[i]) << QString::fromLatin1(chain[i]) << QString::fromLatin1(chain[i + 1]);
        QTest::newRow("gm") << "gm"
                            << "t2";
        QTest::newRow("bg") << "bg"
                            << "t2";
    }
    void enterMovesTheFocus()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        EntryFixture f;
        TheoryEntryDialog dialog(f.store.data(), f.session);
        dialog.show(TheoryEntryDialog::Mode::Add);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        fillValidRow(&dialog);
        auto* source = dialog.findChild<QWidget*>(from);
        source->setFocus();
        QCOMPARE(QApplication::focusWidget(), source);
        QTest::keyClick(source, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), to);
        // Enter in an input never saves by itself (on the focused "确定" it does: see below).
        if (!qobject_cast<QPushButton*>(QApplication::focusWidget()))
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        QVERIFY(dialog.isVisible());
        QCOMPARE(f.store.count(QStringLiteral("gzl")), 0);
    }

    // Enter on a focused button presses it: "确定" (where the Enter chain ends) saves the row,
    // "放弃" (a Tab further) closes without one. The focused button is drawn as the default one,
    // with the focus ring of a keyboard move.
    void enterOnTheFocusedButton_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("rows");
        QTest::newRow("Enter on 确定") << "BitBtn1" << int(Qt::Key_Return) << 1;
        QTest::newRow("keypad Enter on 确定") << "BitBtn1" << int(Qt::Key_Enter) << 1;
        QTest::newRow("Enter on 放弃") << "BitBtn2" << int(Qt::Key_Return) << 0;
    }
    void enterOnTheFocusedButton()
    {
        QFETCH(QString, button);
        QFETCH(int, key);
        QFETCH(int, rows);
        EntryFixture f;
        TheoryEntryDialog dialog(f.store.data(), f.session);
        dialog.show(TheoryEntryDialog::Mode::Add);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        fillValidRow(&dialog);
        edit(&dialog, "fzs")->setFocus();
        QTest::keyClick(edit(&dialog, "fzs"), Qt::Key_Return);
        if (button == QLatin1String("BitBtn2"))
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
        QVERIFY(focused);
        QCOMPARE(focused->objectName(), button);
        QVERIFY(focused->isDefault());
        QVERIFY(dialog.testAttribute(Qt::WA_KeyboardFocusChange));

        QTest::keyClick(focused, Qt::Key(key));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(f.store.count(QStringLiteral("gzl")), rows);
        QCOMPARE(f.store.count(QStringLiteral("gzl"), QStringLiteral("kname='高等数学' and t1=32")), rows);
    }

    void modalRunAndCancel()
    {
        EntryFixture f;
        TheoryEntryDialog dialog(f.store.data(), f.session);
        QTimer::singleShot(0, &dialog, [&] {
            fillValidRow(&dialog);
            QTest::mouseClick(child<QPushButton>(&dialog, "BitBtn2"), Qt::LeftButton);
        });
        QCOMPARE(dialog.exec(TheoryEntryDialog::Mode::Add), int(QDialog::Rejected));
        QCOMPARE(f.store.count(QStringLiteral("gzl")), 0);
        QCOMPARE(f.session.NextXh, 0);

        QTimer::singleShot(0, &dialog, [&] {
            QCOMPARE(edit(&dialog, "kname")->text(), QString()); // reset on every showing
            fillValidRow(&dialog);
            clickOk(&dialog);
        });
        QCOMPARE(dialog.exec(TheoryEntryDialog::Mode::Add), int(QDialog::Accepted));
        QCOMPARE(f.store.count(QStringLiteral("gzl")), 1);
    }
};

QTEST_MAIN(TestTheoryEntry)
#include "tst_theory_entry.moc"
