#include "store/Database.h"
#include "session/Session.h"
#include "gui/MessageBox.h"
#include "app/Application.h"
#include "store/StoreSetup.h"
#include "mainwindow/MainWindow.h"
#include "store/DataModule.h"
#include "entry/TheoryEntryDialog.h"
#include "shell/LoginDialog.h"
#include "exchangeui/ImportScreen.h"
#include "exchangeui/ExportScreen.h"
#include "entry/PracticeEntryDialog.h"
#include "masterdataui/FacultyScreen.h"
#include "masterdataui/SectionScreen.h"

#include <QAction>

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

} // namespace

class TestApplication : public QObject
{
    Q_OBJECT
private slots:
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
        for (const char* name : {"FORM1", "fmpwdF", "fmlilunf", "fmsjjxf", "fmsavefile", "fmrecover", "bmdm1",
                                 "fmbmdmF", "fmrydmF", "rydm1", "rydm2", "fmybdmF", "ybdm1"}) {
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
            Database::Result operators =
                startup.dataModule().database()->select(QStringLiteral("select * from user1"));
            QCOMPARE(int(operators.rows.size()), 2);
            QCOMPARE(startup.loginDialog()->findChild<QComboBox*>(QStringLiteral("DBComboBox2"))->count(), 4);
        }
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

        // Export and import open beside the main window from the menu and the toolbar.
        QVERIFY(!window->findChild<ExportScreen*>() && !window->findChild<ImportScreen*>());
        for (const char* name : {"N5", "ToolButton4", "N6", "ToolButton5"}) {
            QAction* action = window->findChild<QAction*>(QString::fromLatin1(name));
            QVERIFY2(action && action->isEnabled(), name);
            action->trigger();
        }
        const auto windows = QApplication::topLevelWidgets();
        auto shown = [&](const char* className) {
            return std::any_of(windows.begin(), windows.end(),
                               [&](QWidget* w) { return w->inherits(className) && w->isVisible() && !w->isModal(); });
        };
        QVERIFY(shown("ExportScreen"));
        QVERIFY(shown("ImportScreen"));
        QVERIFY(window->isVisible());

        window->close();
        QCOMPARE(ended.count(), 1);
    }

    void menuAndToolbarOpenTheMasterDataScreens()
    {
        DataDir dir;
        StoreSetup::createStore(dir.path(), false);
        Application startup(dir.path());
        startup.createScreens();
        QVERIFY(startup.start());
        startup.loginDialog()->findChild<QLineEdit*>(QStringLiteral("Password"))->setText(QStringLiteral("123456"));
        startup.loginDialog()->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        MainWindow* window = startup.mainWindow();
        QVERIFY(window->isVisible());
        auto action = [&](const char* name) {
            QAction* a = window->findChild<QAction*>(QString::fromLatin1(name));
            return a && a->isEnabled() ? a : nullptr;
        };

        // "院系部管理系统(&M)": the faculty screen, modally.
        FacultyScreen* faculties = startup.facultyScreen();
        bool modal = false;
        QTimer::singleShot(0, faculties, [&] {
            modal = faculties->isVisible() && QApplication::activeModalWidget() == faculties;
            faculties->reject();
        });
        QVERIFY(action("N2"));
        action("N2")->trigger();
        QVERIFY(modal);
        QVERIFY(!faculties->isVisible());

        // "教研室管理系统(&S)" and the toolbar's "教研室": the section screen beside the main window.
        SectionScreen* sections = startup.sectionScreen();
        for (const char* name : {"N3", "ToolButton2"}) {
            QVERIFY2(action(name), name);
            action(name)->trigger();
            QVERIFY(sections->isVisible());
            QVERIFY(!sections->isModal());
        }
        QCOMPARE(sections->windowTitle(), QStringLiteral(" 教研室管理")); // no faculty chosen yet
        QVERIFY(window->isVisible());
        sections->close();
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
};

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
