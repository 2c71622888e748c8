#include "EntryFixture.h"
#include "entry/PracticeEntryDialog.h"

#include <QPushButton>
#include <QTimer>

namespace {

// Shows the dialog as the main window opens it for a practice kind: 1-3 add, 4-6 edit that kind.
void showDialog(PracticeEntryDialog& dialog, int practiceKind)
{
    const bool editing = practiceKind > 3;
    dialog.show(PracticeEntryDialog::Kind(editing ? practiceKind - 3 : practiceKind),
                editing ? PracticeEntryDialog::Mode::Edit : PracticeEntryDialog::Mode::Add);
}

const QString Refused = QStringLiteral("错误|出现输入的文字超长或者类型不正确!");
const QString HalfWidth = QStringLiteral("错误|数字输入错误，请使用半角!");

template <class T> T* child(QWidget* dialog, const QString& name)
{
    T* w = dialog->findChild<T*>(name);
    if (!w)
        qFatal("no input %s", qPrintable(name));
    return w;
}

QWidget* input(QWidget* d, const QString& name)
{
    return child<QWidget>(d, name);
}

QString text(QWidget* d, const QString& name)
{
    QWidget* w = input(d, name);
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    return qobject_cast<QLineEdit*>(w)->text();
}

void type(QWidget* d, const QString& name, const QString& value)
{
    EntryFixture::type(input(d, name), value);
}

void clickOk(QWidget* d)
{
    QTest::mouseClick(child<QPushButton>(d, QStringLiteral("BitBtn1")), Qt::LeftButton);
}

// Inputs in tab order.
const QStringList Inputs{"kname", "w", "banji", "r3", "shuoming", "gm", "yan", "r32", "q32", "r33", "q33"};

} // namespace

class TestPracticeEntry : public QObject
{
    Q_OBJECT
private slots:
    void openingForEachKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("texts");   // in the order of Inputs
        QTest::addColumn<QStringList>("enabled"); // the inputs that are enabled
        QTest::newRow("internship") << 1
                                    << QStringList{"", "0", "", "0", "教学实习", "是", "本科生", "0", "0", "0", "0"}
                                    << QStringList{"kname", "w", "banji", "r3", "shuoming", "gm", "yan"};
        QTest::newRow("graduation design")
            << 2 << QStringList{"本科毕业设计", "0", "", "0", "教学实习", "是", "本科生", "0", "0", "0", "0"}
            << QStringList{"kname", "banji", "yan", "r32", "q32"};
        QTest::newRow("supervision") << 3 << QStringList{"指导研究生", "0", "",  "0", "教学实习", "是",
                                                         "研究生",     "0", "0", "0", "0"}
                                     << QStringList{"kname", "banji", "yan", "r33", "q33"};
    }
    void openingForEachKind()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, enabled);
        EntryFixture f;
        PracticeEntryDialog dialog(f.store.data(), f.session);
        // A previous showing of another kind, with its inputs changed, carries nothing over.
        showDialog(dialog, kind % 3 + 1);
        for (const QString& name : Inputs)
            if (input(&dialog, name)->isEnabled())
                type(&dialog, name, QStringLiteral("9"));
        dialog.reject();

        showDialog(dialog, kind);
        QStringList actualTexts, actualEnabled;
        for (const QString& name : Inputs) {
            actualTexts << text(&dialog, name);
            if (input(&dialog, name)->isEnabled())
                actualEnabled << name;
        }
        QCOMPARE(actualTexts, texts);
        QCOMPARE(actualEnabled, enabled);
        auto* types = child<QComboBox>(&dialog, QStringLiteral("shuoming"));
        QStringList list;
        for (int i = 0; i < types->count(); ++i)
            list << types->itemText(i);
        QCOMPARE(list, (QStringList{"教学实习", "生产实习", "毕业实习", "认识实习", "课程设计", "社会实践"}));
        QCOMPARE(dialog.focusWidget(), input(&dialog, QStringLiteral("kname")));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("录入实践教学工作量"));
    }

    void addingStoresTheRowOfTheKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("typed"); // name=value pairs
        QTest::addColumn<QString>("statement");
        const QString head = QStringLiteral("insert into gzl (xh,yan,jiaoshi,yuanbu,jiaoyanshi,gm,banji,r3,kname,w,"
                                            "shuoming,r33,r32,q32,q33,xingzhi,zhicheng,gangwei,fl,nd)\n values(8,\n");
        // Weeks 2 pass the check although the students are 0.
        QTest::newRow("internship") << 1 << QStringList{"kname=金工实习", "banji=机械1班", "w=2", "gm=否"}
                                    << head + QStringLiteral("'本科生',\n'张三',\n'理学院',\n'数学教研室',\n1,\n"
                                                             "'机械1班',\n0,\n'金工实习',\n2,\n'教学实习',\n0,\n0,\n"
                                                             "0,\n0,\n'专职',\n'教授',\n'教学岗',\n'实习设计',\n");
        QTest::newRow("graduation design")
            << 2 << QStringList{"banji=数学1班", "r32=3", "q32=20"}
            << head + QStringLiteral("'本科生',\n'张三',\n'理学院',\n'数学教研室',\n0,\n'数学1班',\n0,\n'本科毕业设计',"
                                     "\n0,\n'教学实习',\n0,\n3,\n20,\n0,\n'专职',\n'教授',\n'教学岗',\n'毕业设计',\n");
        QTest::newRow("supervision")
            << 3 << QStringList{"banji=2025级硕士", "r33=2", "q33=40.5"}
            << head +
                   QStringLiteral("'研究生',\n'张三',\n'理学院',\n'数学教研室',\n0,\n'2025级硕士',\n0,\n'指导研究生',"
                                  "\n0,\n'教学实习',\n2,\n0,\n0,\n40.5,\n'专职',\n'教授',\n'教学岗',\n'指导硕士',\n");
    }
    void addingStoresTheRowOfTheKind()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, typed);
        QFETCH(QString, statement);
        EntryFixture f;
        f.session.NextXh = 7;
        const QString sunxu = f.store.scalar(QStringLiteral("select group_concat(sunxu) from sysparameter"));
        QStringList statements;
        f.store.db().setTracer([&](const QString& s) { statements << s; });
        PracticeEntryDialog dialog(f.store.data(), f.session);
        showDialog(dialog, kind);
        for (const QString& pair : typed)
            type(&dialog, pair.section(u'=', 0, 0), pair.section(u'=', 1));
        clickOk(&dialog);

        QVERIFY(MessageBox::shown().empty());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(f.session.NextXh, 8);
        statement += QStringLiteral("'%1')").arg(f.year);
        QVERIFY2(statements.contains(statement), qPrintable(statements.join(QStringLiteral("\n---\n"))));
        QCOMPARE(f.store.count(QStringLiteral("gzl")), 1);
        // The three practice grids are re-opened; only the row's own kind shows it.
        Query* views[] = {f.store.data().dtsxsj, f.store.data().dtbysj, f.store.data().dtzdss};
        for (int k = 1; k <= 3; ++k) {
            QVERIFY(views[k - 1]->isActive());
            QCOMPARE(views[k - 1]->recordCount(), k == kind ? 1 : 0);
        }
        QCOMPARE(f.value(8, QStringLiteral("bg")), QString()); // never written by this dialog
        // Practice rows change no parameter order.
        QCOMPARE(f.store.scalar(QStringLiteral("select group_concat(sunxu) from sysparameter")), sunxu);
    }

    void amountCheck_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("outcome"); // saved, silent, or the message shown
        QTest::newRow("graduation design without students")
            << 2 << QStringList{"banji=数学1班", "r32=0", "q32=20"} << "silent";
        QTest::newRow("internship all zero") << 1 << QStringList{"kname=金工实习", "banji=1班"} << "silent";
        QTest::newRow("decimal weeks") << 1 << QStringList{"kname=金工实习", "banji=1班", "w=1.5"} << "saved";
        QTest::newRow("students only") << 1 << QStringList{"kname=金工实习", "banji=1班", "r3=30"} << "saved";
        QTest::newRow("full-width weeks") << 1 << QStringList{"kname=金工实习", "banji=1班", "w=２"} << HalfWidth;
        QTest::newRow("students reached and empty")
            << 1 << QStringList{"kname=金工实习", "banji=1班", "r3="} << HalfWidth;
        QTest::newRow("weeks not a number") << 1 << QStringList{"kname=金工实习", "banji=1班", "w=abc"} << HalfWidth;
        // Weeks pass, so the emptied students field is not examined; the store refuses it.
        QTest::newRow("students emptied after positive weeks")
            << 1 << QStringList{"kname=金工实习", "banji=1班", "w=2", "r3="} << Refused;
        QTest::newRow("workload not a number") << 2 << QStringList{"banji=数学1班", "r32=3", "q32=二十"} << Refused;
        QTest::newRow("workload expression") << 3 << QStringList{"banji=硕士", "r33=2", "q33=20*2"} << Refused;
        QTest::newRow("class over 25 bytes")
            << 2 << QStringList{"banji=计算机科学与技术专业一年级一班", "r32=3"} << Refused;
    }
    void amountCheck()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, typed);
        QFETCH(QString, outcome);
        EntryFixture f;
        f.session.NextXh = 4;
        PracticeEntryDialog dialog(f.store.data(), f.session);
        showDialog(dialog, kind);
        for (const QString& pair : typed)
            type(&dialog, pair.section(u'=', 0, 0), pair.section(u'=', 1));
        clickOk(&dialog);

        const bool saved = outcome == "saved";
        QCOMPARE(f.store.count(QStringLiteral("gzl")), saved ? 1 : 0);
        QCOMPARE(dialog.isVisible(), !saved);
        QCOMPARE(EntryFixture::shownTexts(), saved || outcome == "silent" ? QStringList{} : QStringList{outcome});
        // Only an insert attempt takes a serial, and a refused one keeps it.
        QCOMPARE(f.session.NextXh, saved || outcome == Refused ? 5 : 4);
    }

    void emptyNameOrClass_data()
    {
        QTest::addColumn<QString>("kname");
        QTest::addColumn<QString>("banji");
        QTest::newRow("blank name") << "  "
                                    << "数学1班";
        QTest::newRow("empty class") << "本科毕业设计"
                                     << "";
    }
    void emptyNameOrClass()
    {
        QFETCH(QString, kname);
        QFETCH(QString, banji);
        EntryFixture f;
        PracticeEntryDialog dialog(f.store.data(), f.session);
        showDialog(dialog, 2);
        type(&dialog, QStringLiteral("kname"), kname);
        type(&dialog, QStringLiteral("banji"), banji);
        type(&dialog, QStringLiteral("r32"), QStringLiteral("3"));
        clickOk(&dialog);
        QCOMPARE(EntryFixture::shownTexts(), QStringList{QStringLiteral("错误|设计名称和设计班级不能为空!")});
        QVERIFY(dialog.isVisible());
        QCOMPARE(f.store.count(QStringLiteral("gzl")), 0);
        QCOMPARE(f.session.NextXh, 0);
    }

    void failedInsertConsumesASerialAndQuotesAreStoredLiterally()
    {
        EntryFixture f;
        f.session.NextXh = 30;
        PracticeEntryDialog dialog(f.store.data(), f.session);
        showDialog(dialog, 1);
        type(&dialog, QStringLiteral("kname"), QStringLiteral("O'Neil's 实习"));
        type(&dialog, QStringLiteral("banji"), QStringLiteral("1班"));
        type(&dialog, QStringLiteral("shuoming"), QStringLiteral("x' or '1'='1"));
        type(&dialog, QStringLiteral("w"), QStringLiteral("2"));
        type(&dialog, QStringLiteral("r3"), QStringLiteral("30;"));
        clickOk(&dialog);
        QCOMPARE(EntryFixture::shownTexts(), QStringList{Refused});
        QCOMPARE(text(&dialog, QStringLiteral("r3")), QStringLiteral("30;"));

        type(&dialog, QStringLiteral("r3"), QStringLiteral("30"));
        clickOk(&dialog);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(f.store.scalar(QStringLiteral("select max(xh) from gzl")), QStringLiteral("32"));
        QCOMPARE(f.value(32, QStringLiteral("kname")), QStringLiteral("O'Neil's 实习"));
        QCOMPARE(f.value(32, QStringLiteral("shuoming")), QStringLiteral("x' or '1'='1"));
    }

    void editingUpdatesTheCurrentRowOfTheKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("storedSection");
        QTest::addColumn<bool>("updated");
        QTest::newRow("internship") << 4 << QStringLiteral("数学教研室") << true;
        QTest::newRow("graduation design") << 5 << QStringLiteral("数学教研室") << true;
        QTest::newRow("supervision") << 6 << QStringLiteral("数学教研室") << true;
        // Found by serial and the teacher's present section name, so a row filed under another
        // section name is left alone: the dialog says so and stays open with the input.
        QTest::newRow("stored under an old section name") << 6 << QStringLiteral("旧教研室") << false;
    }
    void editingUpdatesTheCurrentRowOfTheKind()
    {
        QFETCH(int, kind);
        QFETCH(QString, storedSection);
        QFETCH(bool, updated);
        EntryFixture f;
        f.session.NextXh = 50;
        const QString fl[] = {QStringLiteral("实习设计"), QStringLiteral("毕业设计"), QStringLiteral("指导硕士")};
        for (int xh : {21, 22})
            f.store.db().execute(
                QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,fl,nd,kname,w,banji,r3,shuoming,gm,yan,"
                               "r32,q32,r33,q33,q31) values (%1,'张三','理学院','%2','%3','%4','旧名%1',3,'旧班',25,"
                               "'手填类型',1,'博士生',4,24,5,50,9.5)")
                    .arg(xh)
                    .arg(storedSection, fl[kind - 4], f.year));
        Query* views[] = {f.store.data().dtsxsj, f.store.data().dtbysj, f.store.data().dtzdss};
        Query* view = views[kind - 4];
        view->setStatement({QStringLiteral("select * from gzl where fl='%1' order by xh").arg(fl[kind - 4])});
        view->open();
        view->last();

        PracticeEntryDialog dialog(f.store.data(), f.session);
        showDialog(dialog, kind);
        QStringList loaded;
        for (const QString& name : Inputs)
            loaded << text(&dialog, name);
        QCOMPARE(loaded, (QStringList{"旧名22", "3", "旧班", "25", "手填类型", "否", "博士生", "4", "24", "5", "50"}));
        type(&dialog, QStringLiteral("kname"), QStringLiteral("新名"));
        type(&dialog, QStringLiteral("banji"), QStringLiteral("新班"));
        clickOk(&dialog);

        if (updated) {
            QVERIFY(MessageBox::shown().empty());
        } else {
            QCOMPARE(int(MessageBox::shown().size()), 1);
            QCOMPARE(MessageBox::shown().front().caption, QStringLiteral("错误"));
            QCOMPARE(MessageBox::shown().front().text,
                     QStringLiteral("要修改的工作量记录不在该教师现在的教研室中，没有保存!"));
            QCOMPARE(text(&dialog, QStringLiteral("kname")), QStringLiteral("新名"));
            QCOMPARE(text(&dialog, QStringLiteral("banji")), QStringLiteral("新班"));
        }
        QCOMPARE(dialog.isVisible(), !updated);
        QCOMPARE(f.session.NextXh, 50);
        QCOMPARE(f.store.count(QStringLiteral("gzl")), 2);
        QCOMPARE(f.value(22, QStringLiteral("kname")), updated ? QStringLiteral("新名") : QStringLiteral("旧名22"));
        QCOMPARE(f.value(22, QStringLiteral("banji")), updated ? QStringLiteral("新班") : QStringLiteral("旧班"));
        QCOMPARE(f.value(22, QStringLiteral("gm")), QStringLiteral("1")); // "否" read back and written again
        QCOMPARE(f.value(22, QStringLiteral("q33")), QStringLiteral("50"));
        QCOMPARE(f.value(22, QStringLiteral("q31")), QStringLiteral("9.5")); // computed column untouched
        QCOMPARE(f.value(21, QStringLiteral("kname")), QStringLiteral("旧名21"));
        QCOMPARE(view->recordCount(), 2);
    }

    void enterMovesTheFocus_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        const QStringList internship{"kname", "w", "banji", "r3", "shuoming", "BitBtn1"};
        for (int i = 0; i + 1 < internship.size(); ++i)
            QTest::addRow("internship %s", qPrintable(internship[i])) << 1 << internship[i] << internship[i + 1];
        QTest::newRow("internship gm, target disabled") << 1 << "gm"
                                                        << "gm";
        QTest::newRow("graduation kname, target disabled") << 2 << "kname"
                                                           << "kname";
        QTest::newRow("graduation yan") << 2 << "yan"
                                        << "q32";
        QTest::newRow("graduation r32") << 2 << "r32"
                                        << "q32";
        QTest::newRow("graduation q32") << 2 << "q32"
                                        << "BitBtn1";
        QTest::newRow("supervision yan, target disabled") << 3 << "yan"
                                                          << "yan";
        QTest::newRow("supervision r33") << 3 << "r33"
                                         << "q33";
        QTest::newRow("supervision q33") << 3 << "q33"
                                         << "BitBtn1";
    }
    void enterMovesTheFocus()
    {
        QFETCH(int, kind);
        QFETCH(QString, from);
        QFETCH(QString, to);
        EntryFixture f;
        PracticeEntryDialog dialog(f.store.data(), f.session);
        showDialog(dialog, kind);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        type(&dialog, QStringLiteral("banji"), QStringLiteral("1班"));
        type(&dialog, QStringLiteral("kname"), QStringLiteral("实习"));
        for (const char* amount : {"w", "r32", "r33"})
            child<QLineEdit>(&dialog, QString::fromLatin1(amount))->setText(QStringLiteral("2"));
        QWidget* source = input(&dialog, from);
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

    // Enter on a focused button presses it: "确定" (where the Enter chain of each kind ends) saves
    // the row, "放弃" (a Tab further) closes without one. The focused button is drawn as the
    // default one, with the focus ring of a keyboard move.
    void enterOnTheFocusedButton_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("last"); // the input whose Enter reaches "确定"
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("rows");
        QTest::newRow("internship: Enter on 确定") << 1 << "shuoming"
                                                   << "BitBtn1" << 1;
        QTest::newRow("graduation design: Enter on 确定") << 2 << "q32"
                                                          << "BitBtn1" << 1;
        QTest::newRow("supervision: Enter on 确定") << 3 << "q33"
                                                    << "BitBtn1" << 1;
        QTest::newRow("internship: Enter on 放弃") << 1 << "shuoming"
                                                   << "BitBtn2" << 0;
    }
    void enterOnTheFocusedButton()
    {
        QFETCH(int, kind);
        QFETCH(QString, last);
        QFETCH(QString, button);
        QFETCH(int, rows);
        EntryFixture f;
        PracticeEntryDialog dialog(f.store.data(), f.session);
        showDialog(dialog, kind);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        type(&dialog, QStringLiteral("banji"), QStringLiteral("1班"));
        type(&dialog, QStringLiteral("kname"), QStringLiteral("实习"));
        for (const char* amount : {"w", "r32", "r33"})
            child<QLineEdit>(&dialog, QString::fromLatin1(amount))->setText(QStringLiteral("2"));
        input(&dialog, last)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        if (button == QLatin1String("BitBtn2"))
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
        QVERIFY(focused);
        QCOMPARE(focused->objectName(), button);
        QVERIFY(focused->isDefault());
        QVERIFY(dialog.testAttribute(Qt::WA_KeyboardFocusChange));

        QTest::keyClick(focused, Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(f.store.count(QStringLiteral("gzl"), QStringLiteral("kname='实习' and banji='1班'")), rows);
    }

    void modalRun()
    {
        EntryFixture f;
        PracticeEntryDialog dialog(f.store.data(), f.session);
        QTimer::singleShot(0, &dialog, [&] {
            type(&dialog, QStringLiteral("banji"), QStringLiteral("硕士1班"));
            type(&dialog, QStringLiteral("r33"), QStringLiteral("2"));
            clickOk(&dialog);
        });
        QCOMPARE(dialog.exec(PracticeEntryDialog::Kind::Supervision, PracticeEntryDialog::Mode::Add),
                 int(QDialog::Accepted));
        QCOMPARE(f.store.count(QStringLiteral("gzl"), QStringLiteral("fl='指导硕士' and r33=2")), 1);

        QTimer::singleShot(0, &dialog, [&] {
            type(&dialog, QStringLiteral("banji"), QStringLiteral("硕士2班"));
            type(&dialog, QStringLiteral("r33"), QStringLiteral("2"));
            QTest::mouseClick(child<QPushButton>(&dialog, QStringLiteral("BitBtn2")), Qt::LeftButton);
        });
        QCOMPARE(dialog.exec(PracticeEntryDialog::Kind::Supervision, PracticeEntryDialog::Mode::Add),
                 int(QDialog::Rejected));
        QCOMPARE(f.store.count(QStringLiteral("gzl")), 1);
    }
};

QTEST_MAIN(TestPracticeEntry)
#include "tst_practice_entry.moc"
