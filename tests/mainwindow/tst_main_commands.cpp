#include "MainWindowHarness.h"
#include "gui/MessageBox.h"
#include "mainwindow/TeacherFinder.h"
#include "mainwindow/TreePopup.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList Faculty{QStringLiteral("理学院")};
const QStringList Section{QStringLiteral("理学院"), QStringLiteral("物理教研室")};
const QStringList Teacher{QStringLiteral("理学院"), QStringLiteral("数学教研室"), QStringLiteral("李四")};

QString systemField(TestStore& store, const char* field)
{
    return store.scalar(QStringLiteral("select %1 from system").arg(QString::fromLatin1(field)));
}

} // namespace

class TestMainCommands : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
    }
    void init()
    {
        MessageBox::setScripted(true);
        MessageBox::clearShown();
    }

    void toolbarCaptionsAndTooltips_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("更新") << "ToolButton1"
                              << "更新"
                              << "产品入库";
        QTest::newRow("教研室") << "ToolButton2"
                                << "教研室"
                                << "产品查询";
        QTest::newRow("查询") << "ToolButton3"
                              << "查询"
                              << "产品查询";
        QTest::newRow("备份") << "ToolButton4"
                              << "备份"
                              << "设置桌面";
        QTest::newRow("恢复") << "ToolButton5"
                              << "恢复"
                              << "设置桌面";
        QTest::newRow("密码") << "ToolButton6"
                              << "密码"
                              << "修改口令";
        QTest::newRow("帮助") << "ToolButton7"
                              << "帮助"
                              << "帮助 F1";
        QTest::newRow("退出") << "ToolButton8"
                              << "退出"
                              << "退出";
    }
    void toolbarCaptionsAndTooltips()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, tooltip);
        MainWindowHarness h;
        QAction* a = h.window().findChild<QAction*>(name);
        QVERIFY(a);
        QCOMPARE(a->text(), caption);
        QCOMPARE(a->toolTip(), tooltip);
    }

    void exitAsksFirst_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("ok");
        QTest::newRow("menu, OK") << "N13" << true;
        QTest::newRow("menu, Cancel") << "N13" << false;
        QTest::newRow("toolbar, OK") << "ToolButton8" << true;
        QTest::newRow("toolbar, Cancel") << "ToolButton8" << false;
    }
    void exitAsksFirst()
    {
        QFETCH(QString, command);
        QFETCH(bool, ok);
        MainWindowHarness h;
        QSignalSpy closed(&h.window(), &MainWindow::closed);
        MessageBox::setNextAnswer(ok ? MessageBox::AnswerOk : MessageBox::AnswerCancel);
        h.window().findChild<QAction*>(command)->trigger();
        QCOMPARE(MessageBox::shown().size(), size_t(1));
        const MessageBox::Shown& asked = MessageBox::shown().front();
        QCOMPARE(asked.caption, QStringLiteral("退出"));
        QCOMPARE(asked.text, QStringLiteral("你确定要退出该系统吗？"));
        QCOMPARE(asked.icon, MessageBox::Question);
        QCOMPARE(asked.buttons, MessageBox::OkCancel);
        QCOMPARE(closed.count(), ok ? 1 : 0);
        QCOMPARE(h.window().isVisible(), !ok);
    }

    void theCloseBoxDoesNotAsk()
    {
        MainWindowHarness h;
        QSignalSpy closed(&h.window(), &MainWindow::closed);
        h.window().close();
        QVERIFY(MessageBox::shown().empty());
        QCOMPARE(closed.count(), 1);
    }

    // The popup acts on the selected node: its level, the selection values and the settings
    // record as a selection writes them, and no change of view or list.
    void popupLevels_data()
    {
        QTest::addColumn<QStringList>("node");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("yearFilter");
        QTest::addColumn<QString>("yx");
        QTest::addColumn<QString>("jys");
        QTest::newRow("root") << QStringList{} << 0 << true << "nd like '%2026-2027学年%'"
                              << ""
                              << "";
        QTest::newRow("faculty") << Faculty << 1 << true << "nd like '%2026-2027学年%' and yuanbu='理学院'"
                                 << "理学院"
                                 << "";
        QTest::newRow("section") << Section << 2 << true << "nd like '%2026-2027学年%' and jiaoyanshi='物理教研室'"
                                 << "理学院"
                                 << "S02";
        QTest::newRow("teacher") << Teacher << 3 << false
                                 << "nd like '%2026-2027学年%' and jiaoshi='李四' and jiaoyanshi='数学教研室'"
                                 << ""
                                 << "";
    }
    void popupLevels()
    {
        QFETCH(QStringList, node);
        QFETCH(int, level);
        QFETCH(bool, enabled);
        QFETCH(QString, yearFilter);
        QFETCH(QString, yx);
        QFETCH(QString, jys);
        MainWindowHarness h;
        // The node is current without a selection's reaction, as after a right click elsewhere.
        h.tree()->blockSignals(true);
        h.tree()->setCurrentItem(h.node(node));
        h.tree()->blockSignals(false);
        const MainWindow::View view = h.window().view();

        TreePopup* popup = h.window().preparePopup();
        QCOMPARE(popup->PopupLevel(), level);
        for (QAction* item : {popup->editAction(), popup->backupAction(), popup->restoreAction()})
            QCOMPARE(item->isEnabled(), enabled);
        QCOMPARE(h.session().selection.YearFilter(), yearFilter);
        QCOMPARE(systemField(h.store(), "yx"), yx);
        QCOMPARE(systemField(h.store(), "jys"), jys);
        QCOMPARE(h.window().view(), view);
    }

    // "编辑" acts on the level the popup was last opened on, also after it was opened at the root.
    void popupEditFollowsTheLastLevel_data()
    {
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QString>("screen"); // empty: nothing opens
        QTest::addColumn<bool>("rebuild");
        QTest::newRow("section, then root, OK") << Section << "section" << true;
        QTest::newRow("faculty, then root, Cancel") << Faculty << "faculty" << false;
        QTest::newRow("teacher, then root") << Teacher << "" << false;
    }
    void popupEditFollowsTheLastLevel()
    {
        QFETCH(QStringList, first);
        QFETCH(QString, screen);
        QFETCH(bool, rebuild);
        MainWindowHarness h;
        QSignalSpy sections(&h.window(), &MainWindow::sectionScreenRequested);
        QSignalSpy faculties(&h.window(), &MainWindow::facultyScreenRequested);
        h.select(first);
        h.window().preparePopup();
        h.select({});
        h.window().preparePopup();
        // A faculty added meanwhile shows up only when the tree is built again.
        h.store().db().execute(QStringLiteral("insert into yuanbu (mc) values ('新学院')"));
        MessageBox::setNextAnswer(rebuild ? MessageBox::AnswerOk : MessageBox::AnswerCancel);
        h.window().onPopupEdit();

        QCOMPARE(sections.count(), screen == u"section" ? 1 : 0);
        QCOMPARE(faculties.count(), screen == u"faculty" ? 1 : 0);
        QCOMPARE(MessageBox::shown().size(), size_t(screen.isEmpty() ? 0 : 1));
        if (!screen.isEmpty()) {
            QCOMPARE(MessageBox::shown().front().text, QStringLiteral("是否更新目录吗？"));
            QCOMPARE(MessageBox::shown().front().caption, QStringLiteral("提示信息"));
            QCOMPARE(MessageBox::shown().front().icon, MessageBox::NoIcon);
        }
        QCOMPARE(h.node({QStringLiteral("新学院")}) != nullptr, rebuild);
    }

    void finderSelectsTheNextTeacher()
    {
        MainWindowHarness h;
        TeacherFinder* finder = h.window().finder();
        h.window().findChild<QAction*>(QStringLiteral("ToolButton3"))->trigger();
        QVERIFY(finder->isVisible());
        auto* text = finder->findChild<QLineEdit*>(QStringLiteral("FindText"));

        // By part of a code: T0 is every teacher's; Enter goes on to the next one and round.
        text->setText(QStringLiteral("t0"));
        QStringList found;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(text, Qt::Key_Return);
            found << h.tree()->currentItem()->text(0);
        }
        QCOMPARE(found, (QStringList{QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五"),
                                     QStringLiteral("张三")}));
        // The selection reacts as a click: the teacher's rows are shown.
        QCOMPARE(h.window().view(), MainWindow::View::Workload);

        // By part of a name, from the current node on.
        text->setText(QStringLiteral("五"));
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(h.tree()->currentItem()->text(0), QStringLiteral("王五"));
        QVERIFY(h.tree()->currentItem()->parent()->isExpanded());

        // Nothing: the selection stays and the box says so.
        text->setText(QStringLiteral("赵"));
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(h.tree()->currentItem()->text(0), QStringLiteral("王五"));
        QVERIFY(finder->findChild<QLabel*>(QStringLiteral("FindOutcome"))->text().contains(QStringLiteral("没有找到")));
    }

    void dividerAndPlaceAreRemembered()
    {
        QList<int> sizes;
        {
            MainWindowHarness h;
            auto* splitter = h.window().findChild<QSplitter*>(QStringLiteral("Splitter1"));
            QVERIFY(splitter);
            h.window().resize(900, 600);
            splitter->setSizes({333, 500});
            sizes = splitter->sizes();
            h.window().close();
        }
        MainWindowHarness again;
        QCOMPARE(again.window().findChild<QSplitter*>(QStringLiteral("Splitter1"))->sizes().value(0), sizes.value(0));
    }

private:
    QTemporaryDir m_settings;
};

QTEST_MAIN(TestMainCommands)
#include "tst_main_commands.moc"
