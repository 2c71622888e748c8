// The statistics screen in the program: opened from its menu item and toolbar button on the
// tree's node, following the tree, selecting nodes in it, and writing its files.
#include "app/Application.h"
#include "gui/FileDialog.h"
#include "gui/MessageBox.h"
#include "mainwindow/MainWindow.h"
#include "shell/LoginDialog.h"
#include "stats/StatsFixture.h"
#include "statsui/StatsScreen.h"
#include "store/StoreSetup.h"
#include "support/FileChecks.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QBarSet>
#include <QChartView>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace StatsFixture;

namespace {

QStringList column(const QTableView* view, int c)
{
    QStringList out;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        out << view->model()->index(r, c).data().toString();
    return out;
}

QTreeWidgetItem* treeItem(QTreeWidget* tree, const QString& text)
{
    const QList<QTreeWidgetItem*> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

} // namespace

class TestStatsScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        MessageBox::setScripted(true);
        FileDialog::setScripted(true);
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        StoreSetup::createStore(m_dir->path(), false);
        fill(*Database::open(m_dir->path()));
        m_program = std::make_unique<Application>(m_dir->path());
        m_program->createScreens();
        QVERIFY(m_program->start());
        m_program->loginDialog()->findChild<QLineEdit*>(QStringLiteral("Password"))->setText(QStringLiteral("123456"));
        m_program->loginDialog()->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        QVERIFY(m_program->mainWindow()->isVisible());
        m_tree = m_program->mainWindow()->findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
        m_screen = m_program->statsScreen();
    }

    void cleanup()
    {
        m_program.reset();
        m_dir.reset();
    }

    void opensOnTheTreesNode_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("groups");
        QTest::newRow("menu item at a faculty")
            << "N14"
            << "理学院"
            << "工作量统计 - 理学院" << QStringList{"数学教研室", "物理教研室", "合计"};
        QTest::newRow("toolbar at a teacher") << "ToolButton9"
                                              << "王五"
                                              << "工作量统计 - 物理教研室" << QStringList{"物理教研室", "合计"};
        QTest::newRow("menu item at the root")
            << "N14"
            << ""
            << "工作量统计 - 全校" << QStringList{"数学教研室", "物理教研室", "中文教研室", "合计"};
    }
    void opensOnTheTreesNode()
    {
        QFETCH(QString, command);
        QFETCH(QString, node);
        QFETCH(QString, title);
        QFETCH(QStringList, groups);
        if (!node.isEmpty())
            m_tree->setCurrentItem(treeItem(m_tree, node));
        QAction* action = m_program->mainWindow()->findChild<QAction*>(command);
        QVERIFY(action && action->isEnabled());
        QCOMPARE(action->text().remove(u'&'),
                 command == u"N14" ? QStringLiteral("工作量统计(T)") : QStringLiteral("统计"));
        action->trigger();
        QVERIFY(m_screen->isVisible());
        QCOMPARE(m_screen->windowTitle(), title);
        QCOMPARE(column(table("GroupTable"), 0), groups);
        QVERIFY(m_screen->findChild<QLabel*>(QStringLiteral("SourceNote"))->text().contains(u"gzl"));
        QVERIFY(m_screen->findChild<QLabel*>(QStringLiteral("SourceNote"))
                    ->text()
                    .contains(QStringLiteral("2026-2027学年 已计算 (最近计算 2026-12-01 09:30)")));
        QVERIFY(m_screen->findChild<QChartView*>(QStringLiteral("BarChart"))->chart()->series().size() == 1);
    }

    void followsTheTreeAndSelectsInIt()
    {
        m_tree->setCurrentItem(treeItem(m_tree, QStringLiteral("理学院")));
        m_program->mainWindow()->findChild<QAction*>(QStringLiteral("N14"))->trigger();
        // A row of a section selects the section in the tree; the screen follows it there.
        QTableView* groups = table("GroupTable");
        emit groups->clicked(groups->model()->index(1, 0));
        QCOMPARE(m_tree->currentItem()->text(0), QStringLiteral("物理教研室"));
        QCOMPARE(m_screen->windowTitle(), QStringLiteral("工作量统计 - 物理教研室"));
        // A bar of a faculty selects the faculty.
        m_tree->setCurrentItem(m_tree->topLevelItem(0));
        QCOMPARE(m_screen->windowTitle(), QStringLiteral("工作量统计 - 全校"));
        combo("GroupingBox")->setCurrentIndex(int(StatsGrouping::Faculty));
        auto* series = m_screen->findChild<QChartView*>(QStringLiteral("BarChart"))
                           ->chart()
                           ->findChild<QStackedBarSeries*>(QStringLiteral("BarSeries"));
        QVERIFY(series);
        emit series->clicked(1, series->barSets().front());
        QCOMPARE(m_tree->currentItem()->text(0), QStringLiteral("文学院"));
        // A teacher's row selects the teacher.
        m_screen->findChild<QTabWidget*>(QStringLiteral("Pages"))->setCurrentIndex(1);
        QTableView* teachers = table("TeacherTable");
        QCOMPARE(column(teachers, 3), QStringList{"赵六"});
        emit teachers->clicked(teachers->model()->index(0, 3));
        QCOMPARE(m_tree->currentItem()->text(0), QStringLiteral("赵六"));
        // A section without teachers is said in place of the figures, without a message box.
        MessageBox::clearShown();
        m_tree->setCurrentItem(treeItem(m_tree, QStringLiteral("空教研室")));
        QCOMPARE(m_screen->findChild<QLabel*>(QStringLiteral("SourceNote"))->text(),
                 QStringLiteral("空教研室没有教师"));
        QCOMPARE(groups->model()->rowCount(), 0);
        QVERIFY(MessageBox::shown().empty());
        QVERIFY(!m_screen->result());
    }

    void thresholdYearsAndSorting()
    {
        m_program->mainWindow()->findChild<QAction*>(QStringLiteral("N14"))->trigger();
        QLineEdit* threshold = m_screen->findChild<QLineEdit*>(QStringLiteral("ThresholdEdit"));
        threshold->setText(QStringLiteral("200"));
        emit threshold->editingFinished();
        QCOMPARE(m_screen->findChild<QLabel*>(QStringLiteral("ThresholdCounts"))->text(),
                 QStringLiteral("工作量合计低于 200 的教师 2 人，不低于 200 的 2 人"));
        threshold->setText(QStringLiteral("abc"));
        MessageBox::clearShown();
        emit threshold->editingFinished();
        QCOMPARE(MessageBox::shown().size(), std::size_t(1));
        threshold->clear();

        // Sorting by the total, largest first.
        QTableView* groups = table("GroupTable");
        groups->sortByColumn(9, Qt::DescendingOrder);
        QCOMPARE(column(groups, 0).mid(0, 2), (QStringList{"合计", "中文教研室"}));
        QCOMPARE(column(groups, 9).mid(0, 2), (QStringList{"999.58", "450.00"}));

        QComboBox* year = combo("YearBox");
        year->setCurrentIndex(year->findText(QStringLiteral("历年对比")));
        auto* pages = m_screen->findChild<QTabWidget*>(QStringLiteral("Pages"));
        QCOMPARE(pages->currentIndex(), 2);
        QVERIFY(!pages->isTabEnabled(0));
        const QStringList states = column(table("YearTable"), 2);
        QCOMPARE(states.mid(0, 3), (QStringList{"未计算", "未计算", "未计算"}));
        QCOMPARE(states.mid(3), (QStringList{"已计算", "已计算", "已计算", "已计算"}));
        year->setCurrentIndex(year->findText(QStringLiteral("2025-2026学年")));
        QCOMPARE(column(table("GroupTable"), 0), QStringList{"未计算"});
    }

    void exports()
    {
        m_program->mainWindow()->findChild<QAction*>(QStringLiteral("N14"))->trigger();
        QTemporaryDir out;
        for (const char* name : {"a.xlsx", "a.png", "a.svg", "a.pdf"})
            FileDialog::setNextPath(out.filePath(QString::fromLatin1(name)));
        for (const char* button : {"ExportExcel", "ExportImage", "ExportImage", "ExportPdf"})
            m_screen->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        QVERIFY(readFile(out.filePath("a.xlsx")).startsWith("PK"));
        QCOMPARE(QImage(out.filePath("a.png")).size(), QSize(1600, 900));
        QVERIFY(readFile(out.filePath("a.svg")).contains("数学教研室"));
        QVERIFY(readFile(out.filePath("a.pdf")).startsWith("%PDF"));
        FileDialog::setNextPath({}); // cancelled: nothing written, nothing said
        MessageBox::clearShown();
        m_screen->findChild<QPushButton*>(QStringLiteral("ExportPdf"))->click();
        QVERIFY(MessageBox::shown().empty());
    }

private:
    QTableView* table(const char* name) const { return m_screen->findChild<QTableView*>(QString::fromLatin1(name)); }
    QComboBox* combo(const char* name) const { return m_screen->findChild<QComboBox*>(QString::fromLatin1(name)); }

    QTemporaryDir m_settings;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Application> m_program;
    QTreeWidget* m_tree = nullptr;
    StatsScreen* m_screen = nullptr;
};

QTEST_MAIN(TestStatsScreen)
#include "tst_stats_screen.moc"
