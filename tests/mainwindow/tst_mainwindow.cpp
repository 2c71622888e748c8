#include "MainWindowHarness.h"
#include "gui/MessageBox.h"
#include "gui/SettingsYearBox.h"
#include "session/Session.h"
#include "store/DataSource.h"
#include "store/NumberFormat.h"
#include "store/Transaction.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

namespace {

QStringList gridColumn(QTableView* view, const QString& title)
{
    auto* source = qobject_cast<DataSource*>(view->model());
    int column = -1;
    for (int c = 0; c < source->columnCount(); ++c)
        if (source->headerData(c, Qt::Horizontal).toString() == title)
            column = c;
    QStringList out;
    for (int r = 0; r < source->rowCount(); ++r)
        out << source->displayText(r, column);
    return out;
}

QString systemField(TestStore& store, const char* field)
{
    return store.scalar(QStringLiteral("select %1 from system").arg(QString::fromLatin1(field)));
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        MessageBox::setScripted(true);
        MessageBox::clearShown();
    }

    void openingBuildsTreeAndWholeYearFilter()
    {
        MainWindowHarness h([](Database& db) {
            TestOrganisation::fill(db);
            db.execute(QStringLiteral("insert into gzl (xh,fl,nd) values (41,'理论实验','2001')"));
        });
        MainWindow& w = h.window();
        QCOMPARE(w.windowTitle(), QStringLiteral("澜石大学教师工作量统计系统 V2.0"));
        QCOMPARE(w.view(), MainWindow::View::Welcome);
        QCOMPARE(h.session().NextXh, 41);
        QCOMPARE(h.session().selection.YearFilter(), QStringLiteral("nd like '%2026-2027学年%'"));
        QCOMPARE(h.session().selection.NodeFilter(), QString());
        QCOMPARE(h.session().selection.YearTitle(), QStringLiteral("2026-2027学年工作量"));

        // root, 2 faculties, 3 sections, 3 teachers; the section without teachers is a leaf.
        QCOMPARE(w.nodes().count(), 9);
        QCOMPARE(h.tree()->topLevelItem(0)->text(0), QStringLiteral("2026-2027学年工作量"));
        QCOMPARE(h.node({QStringLiteral("理学院")})->childCount(), 2);
        QCOMPARE(h.node({QStringLiteral("文学院"), QStringLiteral("中文教研室")})->childCount(), 0);
        const NodeTable::Entry* teacher =
            w.nodes().find(h.node({QStringLiteral("理学院"), QStringLiteral("数学教研室"), QStringLiteral("李四")}));
        QVERIFY(teacher);
        QCOMPARE(teacher->level, 3);
        QCOMPARE(teacher->code, QStringLiteral("S01"));
        QCOMPARE(teacher->name, QStringLiteral("数学教研室"));
        QCOMPARE(teacher->extra, QStringLiteral("李四"));
        const NodeTable::Entry* section =
            w.nodes().find(h.node({QStringLiteral("理学院"), QStringLiteral("物理教研室")}));
        QCOMPARE(section->level, 2);
        QCOMPARE(section->code, QStringLiteral("S02"));
        QCOMPARE(section->extra, QStringLiteral("理学院"));

        auto* years = h.find<SettingsYearBox>("DBComboBox2");
        QCOMPARE(years->count(), 4);
        QCOMPARE(years->currentText(), TestOrganisation::Year);
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("StatusPanel0"))->text(), QStringLiteral("院部工作量计算模块"));
        // Until a teacher is selected: no workload commands, the names read "合计：".
        for (const char* b : {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4", "BitBtn5", "BitBtn6", "BitBtn7"})
            QVERIFY2(!h.find<QPushButton>(b)->isEnabled(), b);
        QCOMPARE(h.find<QLabel>("Label6")->text(), QStringLiteral("合计："));
    }

    void parameterItemFollowsTheRight_data()
    {
        QTest::addColumn<bool>("right");
        QTest::newRow("gl1 true") << true;
        QTest::newRow("gl1 false") << false;
    }
    void parameterItemFollowsTheRight()
    {
        QFETCH(bool, right);
        MainWindowHarness h(TestOrganisation::fill, [right](Session& s) { s.ParamRight = right; });
        QCOMPARE(h.find<QAction>("N8")->isVisible(), right);
    }

    void selectionTexts_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QString>("yearFilter");
        QTest::addColumn<QString>("nodeFilter");
        QTest::addColumn<QString>("yearTitle");
        QTest::addColumn<QStringList>("settings"); // yx, jys, jysmc as stored
        QTest::addColumn<int>("view");
        QTest::addColumn<QStringList>("teachers"); // teacher grid, for the list views

        QTest::newRow("faculty") << QStringList{QStringLiteral("理学院")}
                                 << QStringLiteral("nd like '%2026-2027学年%' and yuanbu='理学院'")
                                 << QStringLiteral(" bmdm.ybmc='理学院'") << QStringLiteral("2026-2027学年理学院工作量")
                                 << QStringList{QStringLiteral("理学院"), QString(), QString()}
                                 << int(MainWindow::View::TeacherList)
                                 << QStringList{QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五")};
        QTest::newRow("section") << QStringList{QStringLiteral("理学院"), QStringLiteral("物理教研室")}
                                 << QStringLiteral("nd like '%2026-2027学年%' and jiaoyanshi='物理教研室'")
                                 << QStringLiteral(" bmdm.bmmc='物理教研室'")
                                 << QStringLiteral("2026-2027学年物理教研室工作量")
                                 << QStringList{QStringLiteral("理学院"), QStringLiteral("S02"),
                                                QStringLiteral("物理教研室")}
                                 << int(MainWindow::View::TeacherList) << QStringList{QStringLiteral("王五")};
        QTest::newRow("empty section") << QStringList{QStringLiteral("文学院"), QStringLiteral("中文教研室")}
                                       << QStringLiteral("nd like '%2026-2027学年%' and jiaoyanshi='中文教研室'")
                                       << QStringLiteral(" bmdm.bmmc='中文教研室'")
                                       << QStringLiteral("2026-2027学年中文教研室工作量")
                                       << QStringList{QStringLiteral("文学院"), QStringLiteral("S03"),
                                                      QStringLiteral("中文教研室")}
                                       << int(MainWindow::View::TeacherList) << QStringList{};
        QTest::newRow("teacher") << QStringList{QStringLiteral("理学院"), QStringLiteral("数学教研室"),
                                                QStringLiteral("张三")}
                                 << QStringLiteral(
                                        "nd like '%2026-2027学年%' and jiaoshi='张三' and jiaoyanshi='数学教研室'")
                                 << QStringLiteral(" bmdm.bmmc='数学教研室' and rymc='张三'")
                                 << QStringLiteral("2026-2027学年数学教研室张三工作量")
                                 << QStringList{QString(), QString(), QString()} // not touched
                                 << int(MainWindow::View::Workload) << QStringList{};
    }
    void selectionTexts()
    {
        QFETCH(QStringList, path);
        QFETCH(QString, yearFilter);
        QFETCH(QString, nodeFilter);
        QFETCH(QString, yearTitle);
        QFETCH(QStringList, settings);
        QFETCH(int, view);
        QFETCH(QStringList, teachers);

        MainWindowHarness h;
        h.select(path);
        QCOMPARE(h.session().selection.YearFilter(), yearFilter);
        QCOMPARE(h.session().selection.NodeFilter(), nodeFilter);
        QCOMPARE(h.session().selection.YearTitle(), yearTitle);
        QCOMPARE(systemField(h.store(), "yx"), settings[0]);
        QCOMPARE(systemField(h.store(), "jys"), settings[1]);
        QCOMPARE(systemField(h.store(), "jysmc"), settings[2]);
        QCOMPARE(int(h.window().view()), view);
        QVERIFY(MessageBox::shown().empty());
        if (view == int(MainWindow::View::TeacherList)) {
            QCOMPARE(gridColumn(h.find<QTableView>("DBGrid5"), QStringLiteral("教师姓名")), teachers);
            QCOMPARE(h.find<QLabel>("Label5")->text(), QString::number(teachers.size()));
            QVERIFY(h.find<QTableView>("DBGrid5")->isVisible());
        }

        // The root changes the view only; the node's values stay in force.
        h.select({});
        QCOMPARE(h.window().view(), MainWindow::View::Welcome);
        QCOMPARE(h.session().selection.YearFilter(), yearFilter);
        QCOMPARE(h.session().selection.NodeFilter(), nodeFilter);
        QCOMPARE(h.session().selection.YearTitle(), yearTitle);
    }

    void teacherSelectionFillsTheTabs()
    {
        MainWindowHarness h;
        h.select({QStringLiteral("理学院"), QStringLiteral("数学教研室"), QStringLiteral("张三")});
        QCOMPARE(gridColumn(h.find<QTableView>("DBGrid1"), QStringLiteral("课程名")),
                 (QStringList{QStringLiteral("高等数学"), QStringLiteral("线性代数"), QStringLiteral("概率论")}));
        QCOMPARE(gridColumn(h.find<QTableView>("DBGrid2"), QStringLiteral("实习设计名")),
                 (QStringList{QStringLiteral("认识实习"), QStringLiteral("课程设计")}));
        QCOMPARE(h.find<QTableView>("DBGrid3")->model()->rowCount(), 0);
        // The total unrounded, in general form; the grids round to hundredths.
        QCOMPARE(h.find<QLineEdit>("Edit1")->text(), QStringLiteral("123.456"));
        QCOMPARE(h.find<QLabel>("Label6")->text(), QStringLiteral("张三"));
        QCOMPARE(h.find<QLabel>("Label4")->text(), QStringLiteral("张三"));
        QVERIFY(h.find<QTableView>("DBGrid1")->isVisible());

        // A teacher without a matching teacher row leaves the total and the names empty.
        h.store().db().execute(QStringLiteral("delete from rydm where rymc='李四'"));
        h.select({QStringLiteral("理学院"), QStringLiteral("数学教研室"), QStringLiteral("李四")});
        QCOMPARE(h.find<QLineEdit>("Edit1")->text(), QString());
        QCOMPARE(h.find<QLabel>("Label6")->text(), QString());
        QCOMPARE(h.find<QTableView>("DBGrid1")->model()->rowCount(), 0);
    }

    void tenByteYearRule_data()
    {
        QTest::addColumn<QString>("year");
        QTest::addColumn<bool>("editing");
        QTest::newRow("nine ASCII bytes") << QStringLiteral("2026-2027") << false;
        QTest::newRow("nine bytes and a Chinese character") << QStringLiteral("2026-2027年") << true;
        QTest::newRow("ten ASCII bytes") << QStringLiteral("2026-20270") << true;
        QTest::newRow("four digits") << QStringLiteral("2026") << false;
        QTest::newRow("empty") << QString() << false;
    }
    void tenByteYearRule()
    {
        QFETCH(QString, year);
        QFETCH(bool, editing);
        MainWindowHarness h([&](Database& db) {
            TestOrganisation::fill(db);
            db.execute(QStringLiteral("update gzl set nd=") + Sql::quote(year + QStringLiteral("学年")));
            db.execute(QStringLiteral("update system set Nd=") + Sql::quote(year));
        });
        h.select({QStringLiteral("理学院"), QStringLiteral("数学教研室"), QStringLiteral("张三")});
        for (const char* b : {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn5", "BitBtn6", "BitBtn7"})
            QVERIFY2(h.find<QPushButton>(b)->isEnabled() == editing, b);
        QVERIFY(h.find<QPushButton>("BitBtn4")->isEnabled());
        // The rows of the year are listed either way (the year condition is a substring match).
        QCOMPARE(h.find<QTableView>("DBGrid1")->model()->rowCount(), 3);
    }

    void typingAYearRebuildsTheTreeOnly()
    {
        MainWindowHarness h;
        h.select({QStringLiteral("理学院")});
        const QString filter = h.session().selection.YearFilter();
        auto* box = h.find<SettingsYearBox>("DBComboBox2");
        box->lineEdit()->end(false);
        QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
        QTest::keyClicks(box->lineEdit(), QStringLiteral("X"));
        QCOMPARE(h.tree()->topLevelItem(0)->text(0), QStringLiteral("2026-2027学X工作量"));
        QCOMPARE(h.window().nodes().count(), 9);
        QCOMPARE(h.window().view(), MainWindow::View::Welcome);
        QCOMPARE(h.session().selection.YearFilter(), filter);
        // Not stored until the record's next post.
        QCOMPARE(systemField(h.store(), "Nd"), TestOrganisation::Year);
        h.select({QStringLiteral("理学院"), QStringLiteral("物理教研室")});
        QCOMPARE(systemField(h.store(), "Nd"), QStringLiteral("2026-2027学X"));
        QCOMPARE(h.session().selection.YearFilter(),
                 QStringLiteral("nd like '%2026-2027学X%' and jiaoyanshi='物理教研室'"));
    }

    // The window opens with the focus in the tree: a stray key does not change the year.
    void opensWithTheFocusInTheTree()
    {
        MainWindowHarness h;
        QVERIFY(QTest::qWaitForWindowActive(&h.window()));
        QCOMPARE(QApplication::focusWidget(), h.tree());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_5);
        QCOMPARE(h.tree()->topLevelItem(0)->text(0), QStringLiteral("2026-2027学年工作量"));
        QCOMPARE(systemField(h.store(), "Nd"), TestOrganisation::Year);
    }

    // A rebuild keeps the operator's place: the selected node is selected again when it is still
    // there, with the branches above it open, and the branches that were open stay open.
    void rebuildKeepsThePlace_data()
    {
        QTest::addColumn<QString>("rebuild");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("change");  // made in the store before the rebuild
        QTest::addColumn<bool>("stillThere"); // the selected node after it
        const QStringList teacher{QStringLiteral("理学院"), QStringLiteral("数学教研室"), QStringLiteral("李四")};
        const QStringList section{QStringLiteral("理学院"), QStringLiteral("物理教研室")};
        QTest::newRow("更新 at a teacher") << "更新" << teacher << "" << true;
        QTest::newRow("a year change and back at a teacher") << "year" << teacher << "" << true;
        QTest::newRow("the popup's 编辑 at a section") << "popup" << section << "" << true;
        QTest::newRow("更新 after a new faculty")
            << "更新" << teacher << "insert into yuanbu (mc) values ('工学院')" << true;
        QTest::newRow("更新 after the teacher left")
            << "更新" << teacher << "delete from rydm where rydm='T02'" << false;
    }
    void rebuildKeepsThePlace()
    {
        QFETCH(QString, rebuild);
        QFETCH(QStringList, selected);
        QFETCH(QString, change);
        QFETCH(bool, stillThere);
        MainWindowHarness h;
        h.node({QStringLiteral("文学院")})->setExpanded(true);
        h.select(selected);
        const MainWindow::View view = h.window().view();
        if (!change.isEmpty())
            h.store().db().execute(change);

        if (rebuild == u"更新") {
            h.find<QAction>("ToolButton1")->trigger();
        } else if (rebuild == u"popup") {
            h.window().preparePopup();
            MessageBox::setNextAnswer(MessageBox::AnswerOk);
            h.window().onPopupEdit();
            QCOMPARE(MessageBox::shown().back().text, QStringLiteral("是否更新目录吗？"));
        } else {
            auto* box = h.find<SettingsYearBox>("DBComboBox2");
            box->setEditText(QStringLiteral("2025-2026学年"));
            box->setEditText(TestOrganisation::Year);
        }

        QTreeWidgetItem* current = h.tree()->currentItem();
        QCOMPARE(current, stillThere ? h.node(selected) : nullptr);
        for (int depth = 1; stillThere && depth < selected.size(); ++depth)
            QVERIFY(h.node(selected.mid(0, depth))->isExpanded());
        QVERIFY(h.node({QStringLiteral("文学院")})->isExpanded());
        QVERIFY(!h.node({QStringLiteral("理学院"), QStringLiteral("物理教研室")})->isExpanded());
        if (rebuild != u"year") {
            QCOMPARE(h.window().view(), view); // a rebuild alone changes no view
            return;
        }
        // After a year change the cover shows; a click on the selected node shows it for the new year.
        QCOMPARE(h.window().view(), MainWindow::View::Welcome);
        QTest::mouseClick(h.tree()->viewport(), Qt::LeftButton, {}, h.tree()->visualItemRect(current).center());
        QCOMPARE(h.window().view(), view);
        QCOMPARE(h.session().selection.YearFilter(),
                 QStringLiteral("nd like '%2026-2027学年%' and jiaoshi='李四' and jiaoyanshi='数学教研室'"));
    }

    void storeErrorsAreShownAndTheWindowGoesOn()
    {
        MainWindowHarness h;
        h.store().db().execute(QStringLiteral("alter table gzl rename to gzl_gone"));
        h.select({QStringLiteral("理学院"), QStringLiteral("数学教研室"), QStringLiteral("张三")});
        QCOMPARE(MessageBox::shown().size(), size_t(1));
        QCOMPARE(MessageBox::shown().front().caption, QStringLiteral("错误"));
        QVERIFY(MessageBox::shown().front().text.contains(QStringLiteral("gzl")));
        h.select({QStringLiteral("理学院")});
        QCOMPARE(h.window().view(), MainWindow::View::TeacherList);
    }

    void treeStopsAtItsCapacity()
    {
        // 1 root + 1 faculty + 10 sections + 10 x 1500 teachers = 15012 nodes.
        MainWindowHarness h([](Database& db) {
            Transaction tx(db);
            db.execute(QStringLiteral("insert into yuanbu (mc) values ('大学院')"));
            for (int s = 0; s < 10; ++s) {
                db.executeBound(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values (?,?,'大学院')"),
                                {QStringLiteral("S%1").arg(s), QStringLiteral("教研室%1").arg(s)});
                for (int t = 0; t < 1500; ++t)
                    db.executeBound(QStringLiteral("insert into rydm (rydm,rymc,bmdm) values (?,?,?)"),
                                    {QStringLiteral("T%1-%2").arg(s).arg(t), QStringLiteral("教师%1").arg(t),
                                     QStringLiteral("S%1").arg(s)});
            }
            tx.commit();
        });
        QCOMPARE(h.window().nodes().count(), NodeTable::Capacity);
        int items = 0;
        for (QTreeWidgetItemIterator it(h.tree()); *it; ++it)
            ++items;
        QCOMPARE(items, NodeTable::Capacity);
        QCOMPARE(MessageBox::shown().size(), size_t(1));
        QCOMPARE(MessageBox::shown().front().caption, QStringLiteral("错误"));
        QVERIFY(MessageBox::shown().front().text.contains(QStringLiteral("15000")));
        // The last section shows the teachers that fitted.
        QCOMPARE(h.node({QStringLiteral("大学院"), QStringLiteral("教研室9")})->childCount(), 1500 - 12);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
