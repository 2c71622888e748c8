#include "ScreenFixture.h"
#include "masterdata/MasterDataText.h"

#include <QApplication>

using namespace ScreenTest;

namespace {

const QString Error = QStringLiteral("错误|");

// The dialog of this name, with its screen shown (the dialog refreshes the screen's list).
MasterDataDialog* throughItsScreen(ScreenFixture& f, const QString& dialog)
{
    MasterDataDialog* d = dialog == u"ybdm1"   ? static_cast<MasterDataDialog*>(&f.ybdm1)
                          : dialog == u"bmdm1" ? static_cast<MasterDataDialog*>(&f.bmdm1)
                                               : &f.rydm1;
    if (d->objectName() != dialog)
        qFatal("no dialog %s", qPrintable(dialog));
    f.screen(dialog == u"ybdm1"   ? QStringLiteral("fmybdmF")
             : dialog == u"bmdm1" ? QStringLiteral("fmbmdmF")
                                  : QStringLiteral("fmrydmF"))
        ->show();
    return d;
}

} // namespace

class TestMasterScreens : public QObject
{
    Q_OBJECT
private slots:
    void opening_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("titleBefore");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QStringList>("firstRow");
        QTest::newRow("faculties") << "fmybdmF"
                                   << "院部管理"
                                   << "院部管理" << 4 << QStringList{"院部名称"} << QStringList{"理学院"};
        QTest::newRow("sections of yx") << "fmbmdmF"
                                        << "教研室管理"
                                        << "理学院 教研室管理" << 2 << QStringList{"教研室代码", "教研室名称"}
                                        << QStringList{"S01", "数学教研室"};
        QTest::newRow("teachers of jys") << "fmrydmF"
                                         << "教师管理"
                                         << "S01 教师管理" << 2
                                         << QStringList{"教研室名称", "教师代码", "教师姓名", "职称", "性质", " 岗位"}
                                         << QStringList{"数学教研室", "T01", "张三", "中级", "专职", "无重点岗位"};
    }
    void opening()
    {
        QFETCH(QString, screen);
        QFETCH(QString, titleBefore);
        QFETCH(QString, title);
        QFETCH(int, count);
        QFETCH(QStringList, headers);
        QFETCH(QStringList, firstRow);
        ScreenFixture f;
        ListScreen* s = f.screen(screen);
        QCOMPARE(s->windowTitle(), titleBefore);
        s->show();
        QCOMPARE(s->windowTitle(), title);
        QCOMPARE(ScreenTest::count(s), count);
        QCOMPARE(child<QLabel>(s, QStringLiteral("Label1"))->text(), QStringLiteral("当前记录数:"));
        QCOMPARE(ScreenTest::headers(s->grid()), headers);
        QCOMPARE(rowTexts(s->grid(), 0), firstRow);
        QCOMPARE(currentRow(s), 0);
        QStringList captions;
        for (int i = 1; i <= (screen == u"fmbmdmF" ? 5 : 4); ++i)
            captions << child<QPushButton>(s, QStringLiteral("BitBtn%1").arg(i))->text();
        const QStringList expected = screen == u"fmbmdmF" ? QStringList{"增加", "编辑", "删除", "人员名单", "返回"}
                                                          : QStringList{"增加", "编辑", "删除", "返回"};
        QCOMPARE(captions, expected);
        click(s, captions.size() == 5 ? QStringLiteral("BitBtn5") : QStringLiteral("BitBtn4"));
        QVERIFY(!s->isVisible());
    }

    void adding_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("button"); // BitBtn1 "确定", BitBtn2 "放弃"
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("expected");
        const QString facultyCount = QStringLiteral("select count(*) from yuanbu");
        QTest::newRow("faculty") << "fmybdmF" << QStringList{"Edit1=医学院"} << "BitBtn1"
                                 << ""
                                 << "select mc from yuanbu where rowid=(select max(rowid) from yuanbu)"
                                 << "医学院";
        QTest::newRow("faculty name that exists") << "fmybdmF" << QStringList{"Edit1=文学院"} << "BitBtn1"
                                                  << MasterDataText::FacultyFailed << facultyCount << "4";
        QTest::newRow("faculty, 放弃") << "fmybdmF" << QStringList{"Edit1=医学院"} << "BitBtn2"
                                       << "" << facultyCount << "4";
        QTest::newRow("section, filed under yx")
            << "fmbmdmF" << QStringList{"Edit1=S06", "Edit2=机械教研室"} << "BitBtn1"
            << ""
            << "select bmmc||ybmc from bmdm where bmdm='S06'"
            << "机械教研室理学院";
        QTest::newRow("section code of another faculty")
            << "fmbmdmF" << QStringList{"Edit1=S03", "Edit2=机械教研室"} << "BitBtn1"
            << MasterDataText::SectionDuplicate << "select count(*) from bmdm"
            << "5";
        // The new teacher sorts first; still the list's last row is current afterwards.
        QTest::newRow("teacher, filed under jys, defaults")
            << "fmrydmF" << QStringList{"Edit1=T00", "Edit2=钱七"} << "BitBtn1"
            << ""
            << "select rymc||bmdm||ryzc||ryxz||rygw from rydm where rydm='T00'"
            << "钱七S01中级专职无重点岗位";
        QTest::newRow("teacher, typed title")
            << "fmrydmF" << QStringList{"Edit1=T09", "Edit2=钱七", "ComboBox1=讲师", "ComboBox3=重点 3 级"} << "BitBtn1"
            << ""
            << "select ryzc||rygw from rydm where rydm='T09'"
            << "讲师重点 3 级";
        QTest::newRow("teacher code that exists") << "fmrydmF" << QStringList{"Edit1=T04", "Edit2=钱七"} << "BitBtn1"
                                                  << MasterDataText::TeacherDuplicate << "select count(*) from rydm"
                                                  << "5";
        QTest::newRow("teacher name too long")
            << "fmrydmF" << QStringList{"Edit1=T09", "Edit2=欧阳建国和平人民"} << "BitBtn1"
            << MasterDataText::TeacherFailed << "select count(*) from rydm"
            << "5";
    }
    void adding()
    {
        QFETCH(QString, screen);
        QFETCH(QStringList, inputs);
        QFETCH(QString, button);
        QFETCH(QString, message);
        QFETCH(QString, check);
        QFETCH(QString, expected);
        ScreenFixture f;
        ListScreen* s = f.screen(screen);
        MasterDataDialog* dialog = f.dialogOf(screen);
        s->show();
        const int before = ScreenTest::count(s);
        bool addMode = false;
        bool stayedOpen = false;
        QStringList kept;
        QVERIFY(whileModal(
            dialog, [&] { click(s, QStringLiteral("BitBtn1")); },
            [&] {
                addMode = dialog->mode() == MasterDataDialog::Mode::Add;
                fill(dialog, inputs);
                click(dialog, button);
                stayedOpen = dialog->isVisible();
                for (const QString& pair : inputs)
                    kept << pair.section(u'=', 0, 0) + u'=' + inputText(dialog, pair.section(u'=', 0, 0));
            }));
        QVERIFY(addMode);
        QCOMPARE(shown(), message.isEmpty() ? QString() : Error + message);
        QCOMPARE(stayedOpen, !message.isEmpty());
        if (stayedOpen)
            QCOMPARE(kept, inputs);
        const bool saved = message.isEmpty() && button == u"BitBtn1";
        QCOMPARE(ScreenTest::count(s), before + (saved ? 1 : 0));
        QCOMPARE(ScreenTest::count(s), s->grid()->model()->rowCount());
        QCOMPARE(currentRow(s), s->grid()->model()->rowCount() - 1);
        QCOMPARE(f.store.scalar(check), expected);
    }

    void editing_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<QStringList>("loaded");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("expected");
        QTest::newRow("faculty rename carried into its sections")
            << "fmybdmF" << 1 << false << QStringList{"Edit1=文学院"} << QStringList{"Edit1=人文学院"} << ""
            << "select group_concat(bmdm) from bmdm where ybmc='人文学院'"
            << "S03,S04";
        QTest::newRow("faculty renamed to another's name")
            << "fmybdmF" << 1 << false << QStringList{"Edit1=文学院"} << QStringList{"Edit1=理学院"}
            << MasterDataText::FacultyFailed << "select count(*) from yuanbu where mc='文学院'"
            << "1";
        QTest::newRow("section by double click")
            << "fmbmdmF" << 1 << true << QStringList{"Edit1=S02", "Edit2=物理教研室"}
            << QStringList{"Edit1=S12", "Edit2=物理系"} << ""
            << "select group_concat(rymc) from rydm where bmdm='S12'"
            << "王五";
        QTest::newRow("section code of another")
            << "fmbmdmF" << 1 << false << QStringList{"Edit1=S02", "Edit2=物理教研室"} << QStringList{"Edit1=S03"}
            << MasterDataText::SectionDuplicate << "select bmmc from bmdm where bmdm='S02'"
            << "物理教研室";
        QTest::newRow("teacher") << "fmrydmF" << 1 << false
                                 << QStringList{"Edit1=T02", "Edit2=李四", "ComboBox1=初级", "ComboBox2=专职",
                                                "ComboBox3=无重点岗位"}
                                 << QStringList{"Edit2=李肆", "ComboBox1=讲师"} << ""
                                 << "select rymc||ryzc||bmdm from rydm where rydm='T02'"
                                 << "李肆讲师S01";
        QTest::newRow("teacher keeps a stored title outside the list")
            << "fmrydmF" << 0 << true
            << QStringList{"Edit1=T01", "Edit2=张三", "ComboBox1=中级", "ComboBox2=专职", "ComboBox3=无重点岗位"}
            << QStringList{"Edit1=T02"} << MasterDataText::TeacherDuplicate << "select rymc from rydm where rydm='T01'"
            << "张三";
    }
    void editing()
    {
        QFETCH(QString, screen);
        QFETCH(int, row);
        QFETCH(bool, doubleClick);
        QFETCH(QStringList, loaded);
        QFETCH(QStringList, inputs);
        QFETCH(QString, message);
        QFETCH(QString, check);
        QFETCH(QString, expected);
        ScreenFixture f;
        ListScreen* s = f.screen(screen);
        MasterDataDialog* dialog = f.dialogOf(screen);
        s->show();
        QVERIFY(QTest::qWaitForWindowExposed(s));
        s->grid()->selectRow(row);
        QStringList seen;
        bool editMode = false;
        bool stayedOpen = false;
        const auto open = [&] {
            if (!doubleClick) {
                click(s, QStringLiteral("BitBtn2"));
                return;
            }
            // As the platform delivers it: a click, then the double click.
            const QPoint cell = s->grid()->visualRect(s->grid()->model()->index(row, 0)).center();
            QTest::mouseClick(s->grid()->viewport(), Qt::LeftButton, {}, cell);
            QTest::mouseDClick(s->grid()->viewport(), Qt::LeftButton, {}, cell);
        };
        QVERIFY(whileModal(dialog, open, [&] {
            editMode = dialog->mode() == MasterDataDialog::Mode::Edit;
            for (const QString& pair : loaded)
                seen << pair.section(u'=', 0, 0) + u'=' + inputText(dialog, pair.section(u'=', 0, 0));
            fill(dialog, inputs);
            click(dialog, QStringLiteral("BitBtn1"));
            stayedOpen = dialog->isVisible();
        }));
        QVERIFY(editMode);
        QCOMPARE(seen, loaded);
        QCOMPARE(shown(), message.isEmpty() ? QString() : Error + message);
        QCOMPARE(stayedOpen, !message.isEmpty());
        QCOMPARE(f.store.scalar(check), expected);
        QCOMPARE(currentRow(s), row); // the edited row's place again
    }

    void deleting_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QStringList>("settings"); // field=value before the screen opens
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("countAfter");
        QTest::addColumn<int>("currentAfter");
        QTest::newRow("faculty: the row before is current") << "fmybdmF" << QStringList{} << 3 << true << "" << 3 << 2;
        QTest::newRow("faculty with workload")
            << "fmybdmF" << QStringList{} << 0 << true << MasterDataText::FacultyHasWorkload << 4 << 0;
        QTest::newRow("faculty with sections")
            << "fmybdmF" << QStringList{} << 2 << true << MasterDataText::FacultyHasSections << 4 << 2;
        QTest::newRow("faculty, cancelled") << "fmybdmF" << QStringList{} << 3 << false << "" << 4 << 3;
        QTest::newRow("the only section") << "fmbmdmF" << QStringList{"yx=农学院"} << 0 << true << "" << 0 << -1;
        QTest::newRow("section with teachers")
            << "fmbmdmF" << QStringList{"yx=文学院"} << 1 << true << MasterDataText::SectionHasTeachers << 2 << 1;
        QTest::newRow("section with workload")
            << "fmbmdmF" << QStringList{"yx=文学院"} << 0 << true << MasterDataText::SectionHasWorkload << 2 << 0;
        QTest::newRow("teacher: the first row deleted, the new first row current")
            << "fmrydmF" << QStringList{"jys=S04"} << 0 << true << "" << 1 << 0;
        QTest::newRow("teacher: the last row deleted") << "fmrydmF" << QStringList{} << 1 << true << "" << 1 << 0;
        QTest::newRow("teacher with workload")
            << "fmrydmF" << QStringList{} << 0 << true << MasterDataText::TeacherHasWorkload << 2 << 0;
    }
    void deleting()
    {
        QFETCH(QString, screen);
        QFETCH(QStringList, settings);
        QFETCH(int, row);
        QFETCH(bool, confirm);
        QFETCH(QString, message);
        QFETCH(int, countAfter);
        QFETCH(int, currentAfter);
        ScreenFixture f;
        // S04 gets a second teacher without workload, sorting after 赵六.
        f.store.db().execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm) values ('T06','钱七','S04')"));
        for (const QString& pair : settings)
            f.select(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        ListScreen* s = f.screen(screen);
        s->show();
        s->grid()->selectRow(row);
        const QStringList deleted = rowTexts(s->grid(), row);
        const bool gone = message.isEmpty() && confirm;
        // The row to be current afterwards, where it stands before the delete.
        const int before = gone && currentAfter >= row ? currentAfter + 1 : currentAfter;
        const QStringList rowAfter = currentAfter < 0 ? QStringList{} : rowTexts(s->grid(), before);
        MessageBox::setNextAnswer(confirm ? MessageBox::AnswerOk : MessageBox::AnswerCancel);
        click(s, QStringLiteral("BitBtn3"));

        QVERIFY(!MessageBox::shown().empty());
        const MessageBox::Shown question = MessageBox::shown().front();
        QCOMPARE(question.caption, QStringLiteral("提示信息"));
        QCOMPARE(question.buttons, MessageBox::OkCancel);
        QCOMPARE(question.icon, MessageBox::NoIcon);
        QCOMPARE(int(MessageBox::shown().size()), message.isEmpty() ? 1 : 2);
        if (!message.isEmpty()) {
            QCOMPARE(MessageBox::shown().back().caption, QStringLiteral("错误"));
            QCOMPARE(MessageBox::shown().back().text, message);
            QCOMPARE(MessageBox::shown().back().icon, MessageBox::Error);
        }
        QCOMPARE(ScreenTest::count(s), countAfter);
        QCOMPARE(s->grid()->model()->rowCount(), countAfter);
        QCOMPARE(currentRow(s), currentAfter);
        if (currentAfter >= 0)
            QCOMPARE(rowTexts(s->grid(), currentAfter), rowAfter);
        bool stillListed = false;
        for (int r = 0; r < s->grid()->model()->rowCount(); ++r)
            stillListed = stillListed || rowTexts(s->grid(), r) == deleted;
        QCOMPARE(stillListed, !gone);
    }

    void guardsReadTheCount_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("zeroOverRows"); // the label says 0 while the list has rows
        QTest::newRow("no faculties") << "fmybdmF" << QStringList{} << "delete from yuanbu" << false;
        QTest::newRow("faculties, count at 0") << "fmybdmF" << QStringList{} << "" << true;
        QTest::newRow("a faculty without sections") << "fmbmdmF" << QStringList{"yx=工学院"} << "" << false;
        QTest::newRow("sections, count at 0") << "fmbmdmF" << QStringList{} << "" << true;
        QTest::newRow("a section without teachers") << "fmrydmF" << QStringList{"jys=S05"} << "" << false;
        QTest::newRow("teachers, count at 0") << "fmrydmF" << QStringList{} << "" << true;
    }
    void guardsReadTheCount()
    {
        QFETCH(QString, screen);
        QFETCH(QStringList, settings);
        QFETCH(QString, setup);
        QFETCH(bool, zeroOverRows);
        ScreenFixture f;
        if (!setup.isEmpty())
            f.store.db().execute(setup);
        for (const QString& pair : settings)
            f.select(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        ListScreen* s = f.screen(screen);
        s->show();
        if (zeroOverRows)
            s->countLabel()->setCount(0);
        QCOMPARE(ScreenTest::count(s), 0);
        const QString before = f.store.scalar(QStringLiteral("select count(*) from yuanbu")) +
                               f.store.scalar(QStringLiteral("select count(*) from bmdm")) +
                               f.store.scalar(QStringLiteral("select count(*) from rydm"));
        QStringList guarded{"BitBtn2", "BitBtn3"};
        if (screen == u"fmbmdmF")
            guarded << "BitBtn4";
        for (const QString& button : guarded) {
            QDialog* opened = button == u"BitBtn4" ? static_cast<QDialog*>(&f.fmrydmF) : f.dialogOf(screen);
            QVERIFY2(!whileModal(
                         opened, [&] { click(s, button); }, [] {}),
                     qPrintable(button));
        }
        QVERIFY(MessageBox::shown().empty());
        QCOMPARE(f.store.scalar(QStringLiteral("select count(*) from yuanbu")) +
                     f.store.scalar(QStringLiteral("select count(*) from bmdm")) +
                     f.store.scalar(QStringLiteral("select count(*) from rydm")),
                 before);
        // "增加" has no guard.
        MasterDataDialog* dialog = f.dialogOf(screen);
        QVERIFY(whileModal(
            dialog, [&] { click(s, QStringLiteral("BitBtn1")); },
            [&] {
                fill(dialog, screen == u"fmybdmF" ? QStringList{"Edit1=N1"} : QStringList{"Edit1=N1", "Edit2=新"});
                click(dialog, QStringLiteral("BitBtn1"));
            }));
        QCOMPARE(ScreenTest::count(s), 1);
        if (screen == u"fmbmdmF" && !zeroOverRows)
            QCOMPARE(f.store.scalar(QStringLiteral("select ybmc from bmdm where bmdm='N1'")), QStringLiteral("工学院"));
        if (screen == u"fmrydmF" && !zeroOverRows)
            QCOMPARE(f.store.scalar(QStringLiteral("select bmdm from rydm where rydm='N1'")), QStringLiteral("S05"));
    }

    void teacherListOfTheCurrentSection()
    {
        ScreenFixture f;
        f.fmbmdmF.show();
        f.fmbmdmF.grid()->selectRow(1);
        QString title;
        int count = -1;
        QStringList firstRow;
        QVERIFY(whileModal(
            &f.fmrydmF, [&] { click(&f.fmbmdmF, QStringLiteral("BitBtn4")); },
            [&] {
                title = f.fmrydmF.windowTitle();
                count = ScreenTest::count(&f.fmrydmF);
                firstRow = rowTexts(f.fmrydmF.grid(), 0);
            }));
        QCOMPARE(title, QStringLiteral("S02 教师管理"));
        QCOMPARE(count, 1);
        QCOMPARE(firstRow, (QStringList{"物理教研室", "T03", "王五", "正高级", "兼职", "重点 1 级"}));
        // jys stays at the chosen section, stored; the section list is back on that row.
        QCOMPARE(f.store.scalar(QStringLiteral("select jys from system")), QStringLiteral("S02"));
        QCOMPARE(currentRow(&f.fmbmdmF), 1);
        QCOMPARE(rowTexts(f.fmbmdmF.grid(), 1), (QStringList{"S02", "物理教研室"}));
    }

    void sectionScreenTakesItsListBack()
    {
        // The faculty screen lists into the holder the section screen shows; coming back to the
        // front, the section screen loads its own list again.
        ScreenFixture f;
        f.fmbmdmF.show();
        f.fmybdmF.show();
        QCOMPARE(rowTexts(f.fmybdmF.grid(), 0), QStringList{"理学院"});
        f.fmybdmF.hide();
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&f.fmbmdmF, &activate);
        QCOMPARE(rowTexts(f.fmbmdmF.grid(), 1), (QStringList{"S02", "物理教研室"}));
        QCOMPARE(ScreenTest::count(&f.fmbmdmF), 2);
        QString code;
        QVERIFY(whileModal(
            &f.bmdm1, [&] { click(&f.fmbmdmF, QStringLiteral("BitBtn2")); },
            [&] { code = inputText(&f.bmdm1, QStringLiteral("Edit1")); }));
        QCOMPARE(code, QStringLiteral("S01"));
        QVERIFY(MessageBox::shown().empty());
    }

    void dialogs_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("defaults");
        QTest::addColumn<QStringList>("chain"); // Enter moves from each to the next
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("savedQuery"); // counts the saved row
        QTest::newRow("ybdm1") << "ybdm1"
                               << "录入院部资料" << QStringList{"Edit1="} << QStringList{"Edit1", "BitBtn1"}
                               << QStringList{"Edit1=新学院"} << "select count(*) from yuanbu where mc='新学院'";
        QTest::newRow("bmdm1") << "bmdm1"
                               << "录入教研室资料" << QStringList{"Edit1=", "Edit2="}
                               << QStringList{"Edit1", "Edit2", "BitBtn1"} << QStringList{"Edit1=S99", "Edit2=新教研室"}
                               << "select count(*) from bmdm where bmdm='S99' and bmmc='新教研室'";
        QTest::newRow("rydm1") << "rydm1"
                               << "录入教师资料"
                               << QStringList{"Edit1=", "Edit2=", "ComboBox1=中级", "ComboBox2=专职",
                                              "ComboBox3=无重点岗位"}
                               << QStringList{"Edit1", "Edit2", "BitBtn1"} << QStringList{"Edit1=T99", "Edit2=新教师"}
                               << "select count(*) from rydm where rydm='T99' and rymc='新教师'";
    }
    void dialogs()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, title);
        QFETCH(QStringList, defaults);
        QFETCH(QStringList, chain);
        QFETCH(QStringList, typed);
        QFETCH(QString, savedQuery);
        ScreenFixture f;
        MasterDataDialog* d = throughItsScreen(f, dialog);
        // Left with text typed, it opens again with the defaults.
        d->show(MasterDataDialog::Mode::Add);
        fill(d, {"Edit1=旧"});
        click(d, QStringLiteral("BitBtn2"));
        QVERIFY(!d->isVisible());
        d->show(MasterDataDialog::Mode::Add);
        QVERIFY(QTest::qWaitForWindowActive(d));
        QCOMPARE(d->windowTitle(), title);
        QStringList seen;
        for (const QString& pair : defaults)
            seen << pair.section(u'=', 0, 0) + u'=' + inputText(d, pair.section(u'=', 0, 0));
        QCOMPARE(seen, defaults);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Edit1"));
        if (dialog == u"rydm1") {
            QCOMPARE(child<QComboBox>(d, QStringLiteral("ComboBox1"))->count(), 5);
            QCOMPARE(child<QComboBox>(d, QStringLiteral("ComboBox3"))->itemText(1), QStringLiteral("重点 6 级"));
            QCOMPARE(child<QComboBox>(d, QStringLiteral("ComboBox2"))->itemText(1), QStringLiteral("兼职"));
        }
        fill(d, typed);
        // Enter in an input only moves on; Enter on the focused "确定" saves and closes.
        for (int i = 0; i + 1 < chain.size(); ++i) {
            QCOMPARE(QApplication::focusWidget()->objectName(), chain[i]);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QVERIFY(d->isVisible());
        }
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("BitBtn1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        QVERIFY(MessageBox::shown().empty());
        QVERIFY(!d->isVisible());
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QCOMPARE(f.store.scalar(savedQuery), QStringLiteral("1"));
    }

    // Enter on the focused "放弃" (a Tab after "确定") leaves without saving, as a click does: it
    // does not fall through to "确定", the dialog's default button.
    void enterOnTheFocusedCancel_data() { dialogs_data(); }
    void enterOnTheFocusedCancel()
    {
        QFETCH(QString, dialog);
        QFETCH(QStringList, chain);
        QFETCH(QStringList, typed);
        QFETCH(QString, savedQuery);
        ScreenFixture f;
        MasterDataDialog* d = throughItsScreen(f, dialog);
        d->show(MasterDataDialog::Mode::Add);
        QVERIFY(QTest::qWaitForWindowActive(d));
        fill(d, typed);
        for (int i = 0; i + 1 < chain.size(); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("BitBtn2"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!d->isVisible());
        QCOMPARE(d->result(), int(QDialog::Rejected));
        QCOMPARE(f.store.scalar(savedQuery), QStringLiteral("0"));
        QVERIFY(MessageBox::shown().empty());
    }

    void aFailedCascadeKeepsTheDialogOpen()
    {
        ScreenFixture f;
        f.refuseWorkloadUpdates();
        f.fmrydmF.show();
        bool stayedOpen = false;
        QStringList kept;
        QVERIFY(whileModal(
            &f.rydm1, [&] { click(&f.fmrydmF, QStringLiteral("BitBtn2")); },
            [&] {
                fill(&f.rydm1, {"Edit2=张叁", "ComboBox1=正高级"});
                click(&f.rydm1, QStringLiteral("BitBtn1"));
                stayedOpen = f.rydm1.isVisible();
                kept << inputText(&f.rydm1, QStringLiteral("Edit2"))
                     << inputText(&f.rydm1, QStringLiteral("ComboBox1"));
            }));
        QVERIFY(stayedOpen);
        QCOMPARE(kept, (QStringList{"张叁", "正高级"}));
        QCOMPARE(shown(), Error + MasterDataText::TeacherFailed);
        // The teacher update ran before the refused cascade and was undone with it.
        QCOMPARE(f.store.scalar(QStringLiteral("select rymc||ryzc from rydm where rydm='T01'")),
                 QStringLiteral("张三中级"));
        QCOMPARE(ScreenTest::count(&f.fmrydmF), 2);
    }
};

QTEST_MAIN(TestMasterScreens)
#include "tst_master_screens.moc"
