#include "app/Application.h"
#include "entry/PracticeEntryDialog.h"
#include "entry/TheoryEntryDialog.h"
#include "exchangeui/ExportScreen.h"
#include "exchangeui/ImportScreen.h"
#include "gui/MessageBox.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/TreePopup.h"
#include "masterdataui/FacultyScreen.h"
#include "masterdataui/SectionScreen.h"
#include "session/Session.h"
#include "shell/LoginDialog.h"
#include "store/DataModule.h"
#include "store/Database.h"
#include "store/StoreBackup.h"
#include "store/StoreSetup.h"
#include "support/KilledCommands.h"
#include "support/TestStore.h"

#include <QAction>
#include <QSettings>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

namespace {

// A data directory that is the current directory for the test's duration.
class DataDir
{
public:
    DataDir() : m_previous(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }
    ~DataDir() { QDir::setCurrent(m_previous); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Logs the default operator in, as the login dialog's "确定" does.
void logIn(Application& program)
{
    program.loginDialog()->findChild<QLineEdit*>(QStringLiteral("Password"))->setText(QStringLiteral("123456"));
    program.loginDialog()->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    QVERIFY(program.mainWindow()->isVisible());
}

QWidget* visibleWindow(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

} // namespace

class TestApplication : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The launch counter and the window's settings go to a throw-away place.
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
    }

    void init()
    {
        MessageBox::setScripted(true);
        MessageBox::clearShown();
    }

    void everyScreenOnce()
    {
        DataDir dir;
        Application startup(dir.path());
        startup.createScreens();
        // One of each screen, found by its name among the program's windows.
        const auto windows = QApplication::topLevelWidgets();
        for (const char* name :
             {"FORM1", "fmpwdF", "fmAbout", "fmChgPwd", "bmdm1", "fmbmdmF", "fmrydmF", "rydm1", "fmcsdyF", "fmsavefile",
              "fmrecover", "fmlilunf", "fmsjjxf", "rydm2", "qrrydm", "fmybdmF", "ybdm1"}) {
            const auto n = std::count_if(windows.begin(), windows.end(),
                                         [&](QWidget* w) { return w->objectName() == QLatin1String(name); });
            QVERIFY2(n == 1, name);
        }
        QCOMPARE(startup.mainWindow()->objectName(), QStringLiteral("FORM1"));
        QCOMPARE(startup.loginDialog()->objectName(), QStringLiteral("fmpwdF"));
        // Creating touches no table and shows nothing.
        QVERIFY(!startup.dataModule().isConnected());
        QVERIFY(!startup.mainWindow()->isVisible());
        QVERIFY(!startup.loginDialog()->isVisible());
        QVERIFY(!QFile::exists(Database::storePath(dir.path())));
    }

    void noStore_data()
    {
        QTest::addColumn<bool>("create");
        QTest::newRow("cancel ends the program") << false;
        QTest::newRow("OK creates an empty store") << true;
    }
    void noStore()
    {
        QFETCH(bool, create);
        DataDir dir;
        Application startup(dir.path());
        startup.createScreens();
        MessageBox::setNextAnswer(create ? MessageBox::AnswerOk : MessageBox::AnswerCancel);
        QCOMPARE(startup.start(), create);

        QCOMPARE(MessageBox::shown().size(), size_t(1));
        QCOMPARE(MessageBox::shown().front().caption, QStringLiteral("提示信息"));
        QCOMPARE(MessageBox::shown().front().buttons, MessageBox::OkCancel);
        QVERIFY(MessageBox::shown().front().text.contains(dir.path()));
        QCOMPARE(QFile::exists(Database::storePath(dir.path())), create);
        QCOMPARE(startup.loginDialog()->isVisible(), create);
        if (create) {
            Database::Result operators = startup.dataModule().database()->select(QStringLiteral("select * from user1"));
            QCOMPARE(int(operators.rows.size()), 2);
            QCOMPARE(startup.loginDialog()->findChild<QComboBox*>(QStringLiteral("DBComboBox2"))->count(), 4);
        }
    }

    // A restore killed at its switch is completed, or one killed before it undone, before the
    // store is looked for: the program never offers an empty store in place of a restored one.
    void interruptedRestore_data()
    {
        QTest::addColumn<bool>("ready");
        QTest::newRow("copy ready: completed") << true;
        QTest::newRow("copy not ready: undone") << false;
    }
    void interruptedRestore()
    {
        QFETCH(bool, ready);
        TestStore source;
        source.db().execute(QStringLiteral("insert into yuanbu (mc) values ('恢复院')"));
        QTemporaryDir files;
        const QString backup = files.filePath(QStringLiteral("backup.sqlite3"));
        StoreBackup::backup(source.dir(), backup);
        DataDir dir;
        if (!ready)
            StoreSetup::createStore(dir.path(), false);
        const QString work = KilledCommands::leaveRestoreWork(dir.path(), backup, ready ? backup : QString());
        QVERIFY(!work.isEmpty());

        Application startup(dir.path());
        startup.createScreens();
        QVERIFY(startup.start());
        QVERIFY(!QFileInfo::exists(work));
        const Database::Result restored =
            startup.dataModule().database()->select(QStringLiteral("select count(*) from yuanbu where mc='恢复院'"));
        QCOMPARE(restored.rows.front().value(0).toInt(), ready ? 1 : 0);
        if (ready) {
            QCOMPARE(MessageBox::shown().size(), size_t(1));
            QCOMPARE(MessageBox::shown().front().caption, QStringLiteral("提示信息"));
            QCOMPARE(MessageBox::shown().front().buttons, MessageBox::Ok);
            QVERIFY(MessageBox::shown().front().text.contains(backup));
        } else {
            QVERIFY(MessageBox::shown().empty());
        }
        QVERIFY(startup.loginDialog()->isVisible());
    }

    void loginShowsTheMainWindowAndItsCloseEnds()
    {
        DataDir dir;
        StoreSetup::createStore(dir.path(), false);
        Application startup(dir.path());
        startup.createScreens();
        QSignalSpy ended(&startup, &Application::ended);
        QVERIFY(startup.start());
        QVERIFY(MessageBox::shown().empty()); // an existing store is not questioned
        LoginDialog* login = startup.loginDialog();
        QVERIFY(login->isVisible());
        QVERIFY(login->isModal());

        QTest::keyClicks(login->findChild<QLineEdit*>(QStringLiteral("Password")), QStringLiteral("123456"));
        login->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        QVERIFY(!login->isVisible());
        MainWindow* window = startup.mainWindow();
        QVERIFY(window->isVisible());
        QVERIFY(window->windowState() & Qt::WindowMaximized);
        QCOMPARE(window->nodes().count(), 1); // an empty organisation: the root alone
        QCOMPARE(startup.session().selection.YearFilter, QStringLiteral("nd like '%2026-2027学年%'"));
        QCOMPARE(ended.count(), 0);

        window->close();
        QCOMPARE(ended.count(), 1);
    }

    // A second program on the same data directory says so and ends; the first one goes on.
    void oneProgramPerDataDirectory()
    {
        DataDir dir;
        StoreSetup::createStore(dir.path(), false);
        Application first(dir.path());
        first.createScreens();
        QVERIFY(first.start());
        Application second(dir.path());
        second.createScreens();
        QVERIFY(!second.start());
        QCOMPARE(MessageBox::shown().size(), size_t(1));
        QCOMPARE(MessageBox::shown().front().caption, QStringLiteral("错误"));
        QVERIFY(MessageBox::shown().front().text.contains(QStringLiteral("正在被另一个工作量计算程序使用")));
        QVERIFY(!second.loginDialog()->isVisible());
        QVERIFY(first.loginDialog()->isVisible());
    }

    // Every menu item and toolbar button that opens a screen: modal or beside the main window.
    void commandsOpenTheirScreens_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<bool>("modal");
        const struct
        {
            const char* command;
            const char* screen;
            bool modal;
        } commands[] = {
            {"N2", "fmybdmF", true},
            {"N3", "fmbmdmF", false},
            {"ToolButton2", "fmbmdmF", false},
            {"ToolButton3", "fmFind", false},
            {"N5", "fmsavefile", false},
            {"ToolButton4", "fmsavefile", false},
            {"N6", "fmrecover", false},
            {"ToolButton5", "fmrecover", false},
            {"N8", "fmcsdyF", true},
            {"N10", "fmChgPwd", false},
            {"ToolButton6", "fmChgPwd", false},
            {"N12", "fmAbout", false},
            {"ToolButton7", "fmAbout", false},
        };
        for (const auto& c : commands)
            QTest::newRow(c.command) << QString::fromLatin1(c.command) << QString::fromLatin1(c.screen) << c.modal;
    }
    void commandsOpenTheirScreens()
    {
        QFETCH(QString, command);
        QFETCH(QString, screen);
        QFETCH(bool, modal);
        DataDir dir;
        StoreSetup::createStore(dir.path(), false);
        Application program(dir.path());
        program.createScreens();
        QVERIFY(program.start());
        logIn(program);
        MainWindow* window = program.mainWindow();
        QAction* action = window->findChild<QAction*>(command);
        QVERIFY(action && action->isEnabled());

        QString modalSeen;
        QTimer::singleShot(0, window, [&] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                modalSeen = w->objectName();
                w->close();
            }
        });
        action->trigger();
        QTest::qWait(1);
        QCOMPARE(modalSeen, modal ? screen : QString());
        if (!modal) {
            QWidget* shown = visibleWindow(screen);
            QVERIFY2(shown, qPrintable(screen));
            QVERIFY(!shown->isModal());
            // Again while it is open: the same window, still open.
            action->trigger();
            QCOMPARE(visibleWindow(screen), shown);
            shown->close();
        }
        QVERIFY(window->isVisible());
    }

    // The popup's "编辑" at a section shows the section screen modally and then asks whether to
    // rebuild the tree; the teacher grid's "打印" shows the list's preview when the list has rows.
    void popupEditAndPrint()
    {
        DataDir dir;
        StoreSetup::createStore(dir.path(), false, [](const QString& building) {
            auto db = Database::open(building);
            db->execute(QStringLiteral("insert into yuanbu (mc) values ('理学院')"));
            db->execute(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('S1','数学教研室','理学院'),"
                                       "('S2','空教研室','理学院')"));
            db->execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm) values ('T1','张三','S1')"));
        });
        Application program(dir.path());
        program.createScreens();
        QVERIFY(program.start());
        logIn(program);
        MainWindow* window = program.mainWindow();
        auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
        QTreeWidgetItem* faculty = tree->topLevelItem(0)->child(0);
        auto modalAfter = [&](const std::function<void()>& act) {
            QString seen;
            QTimer::singleShot(0, window, [&] {
                if (QWidget* w = QApplication::activeModalWidget()) {
                    seen = w->objectName();
                    w->close();
                }
            });
            act();
            QTest::qWait(1);
            return seen;
        };

        tree->setCurrentItem(faculty->child(1)); // the section without teachers
        MessageBox::setNextAnswer(MessageBox::AnswerCancel);
        QCOMPARE(modalAfter([&] { window->preparePopup()->editAction()->trigger(); }), QStringLiteral("fmbmdmF"));
        QCOMPARE(MessageBox::shown().back().text, QStringLiteral("是否更新目录吗？"));

        auto* print = window->findChild<QPushButton*>(QStringLiteral("BitBtn11"));
        QCOMPARE(modalAfter([&] { print->click(); }), QString()); // no teachers: nothing happens
        tree->setCurrentItem(faculty->child(0));
        QCOMPARE(modalAfter([&] { print->click(); }), QStringLiteral("qrrydm"));
    }

    void leavingTheLoginEnds()
    {
        DataDir dir;
        StoreSetup::createStore(dir.path(), false);
        Application startup(dir.path());
        startup.createScreens();
        QSignalSpy ended(&startup, &Application::ended);
        QVERIFY(startup.start());
        startup.loginDialog()->findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click(); // "退出"
        QCOMPARE(ended.count(), 1);
        QVERIFY(!startup.mainWindow()->isVisible());
        QCOMPARE(startup.session().OperatorCode, QString());
    }

private:
    QTemporaryDir m_settings;
};

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
