#include "app/Application.h"
#include "entry/PracticeEntryDialog.h"
#include "entry/TheoryEntryDialog.h"
#include "exchangeui/ExportScreen.h"
#include "exchangeui/ImportScreen.h"
#include "gui/FileDialog.h"
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
#include <QFileInfo>
#include <QLabel>
#include <QSettings>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>
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
              "fmrecover", "fmlilunf", "fmsjjxf", "rydm2", "qrrydm", "fmybdmF", "ybdm1", "fmStats"}) {
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
        QCOMPARE(MessageBox::shown().front().buttons, MessageBox::OkOtherCancel);
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
        // The operator starts in the tree, not in the year box.
        QCOMPARE(window->focusWidget(), window->findChild<QTreeWidget*>(QStringLiteral("TreeView1")));
        QCOMPARE(window->nodes().count(), 1); // an empty organisation: the root alone
        QCOMPARE(startup.session().selection.YearFilter(), QStringLiteral("nd like '%2026-2027学年%'"));
        // Which store the program works on, in the status bar.
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("StoreLocation"))->text(),
                 QStringLiteral("数据库: ") + Database::storePath(QFileInfo(dir.path()).absoluteFilePath()));
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
            {"N14", "fmStats", false},
            {"ToolButton9", "fmStats", false},
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

    // Every screen opened from the main window belongs to it: its window is the main window's
    // transient (the window manager keeps it above the main window, also after a click there),
    // and it opens centred on the main window inside the screen's free area, shrunk to fit. A
    // screen beside the main window comes to the front when its command is given again.
    void screensOpenAboveAndOverTheMainWindow_data()
    {
        QTest::addColumn<QString>("command"); // an action, or a button of the main window
        QTest::addColumn<QStringList>("node");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<bool>("modal");
        const QStringList none;
        const QStringList section{QStringLiteral("理学院"), QStringLiteral("数学教研室")};
        const QStringList teacher{QStringLiteral("理学院"), QStringLiteral("数学教研室"), QStringLiteral("张三")};
        QTest::newRow("section screen") << "ToolButton2" << none << "fmbmdmF" << false;
        QTest::newRow("export screen") << "ToolButton4" << none << "fmsavefile" << false;
        QTest::newRow("import screen") << "ToolButton5" << none << "fmrecover" << false;
        QTest::newRow("password dialog") << "ToolButton6" << none << "fmChgPwd" << false;
        QTest::newRow("About box") << "ToolButton7" << none << "fmAbout" << false;
        QTest::newRow("teacher finder") << "ToolButton3" << none << "fmFind" << false;
        QTest::newRow("faculty screen") << "N2" << none << "fmybdmF" << true;
        QTest::newRow("parameter screen") << "N8" << none << "fmcsdyF" << true;
        QTest::newRow("report preview") << "BitBtn11" << section << "qrrydm" << true;
        QTest::newRow("teacher dialog") << "BitBtn8" << section << "rydm2" << true;
        QTest::newRow("theory dialog") << "BitBtn1" << teacher << "fmlilunf" << true;
    }
    void screensOpenAboveAndOverTheMainWindow()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, node);
        QFETCH(QString, screen);
        QFETCH(bool, modal);
        DataDir dir;
        StoreSetup::createStore(dir.path(), false, [](const QString& building) {
            auto db = Database::open(building);
            db->execute(QStringLiteral("insert into yuanbu (mc) values ('理学院')"));
            db->execute(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('S1','数学教研室','理学院')"));
            db->execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm) values ('T1','张三','S1')"));
        });
        Application program(dir.path());
        program.createScreens();
        QVERIFY(program.start());
        logIn(program);
        MainWindow* window = program.mainWindow();
        // A main window off the screen's centre, so that "centred on it" shows.
        window->showNormal();
        window->setGeometry(20, 10, 560, 400);
        QVERIFY(QTest::qWaitForWindowActive(window));
        auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
        QTreeWidgetItem* item = tree->topLevelItem(0);
        for (const QString& caption : node)
            for (int i = 0; i < item->childCount(); ++i)
                if (item->child(i)->text(0) == caption) {
                    item = item->child(i);
                    break;
                }
        tree->setCurrentItem(item);

        const QRect free = window->screen()->availableGeometry();
        const QRect owner = window->frameGeometry();
        QString checked;
        const auto check = [&](QWidget* shown) {
            QVERIFY2(shown, qPrintable(screen));
            QCOMPARE(shown->objectName(), screen);
            QVERIFY(shown->windowHandle());
            QCOMPARE(shown->windowHandle()->transientParent(), window->windowHandle());
            // Only dialog-like windows are kept above their owner by an X11 window manager.
            QCOMPARE(shown->windowType(), Qt::Dialog);
            const QRect frame = shown->frameGeometry();
            QVERIFY2(free.contains(frame), qPrintable(screen));
            const auto clamp = [](int centred, int length, int start, int room) {
                return std::max(start, std::min(centred, start + room - length));
            };
            // Centred to the pixel (a centre may fall between two).
            const int left = clamp(owner.center().x() - frame.width() / 2, frame.width(), free.left(), free.width());
            const int top = clamp(owner.center().y() - frame.height() / 2, frame.height(), free.top(), free.height());
            QVERIFY2(qAbs(frame.left() - left) <= 1 && qAbs(frame.top() - top) <= 1,
                     qPrintable(
                         QStringLiteral("at %1,%2, not %3,%4").arg(frame.left()).arg(frame.top()).arg(left).arg(top)));
            checked = shown->objectName();
        };
        QAction* action = window->findChild<QAction*>(command);
        auto* button = window->findChild<QPushButton*>(command);
        QVERIFY(action || button);
        const auto give = [&] { action ? action->trigger() : button->click(); };
        if (modal) {
            QTimer::singleShot(0, window, [&] {
                QWidget* shown = QApplication::activeModalWidget();
                check(shown);
                if (shown)
                    shown->close();
            });
            give();
            QTest::qWait(1);
        } else {
            give();
            QWidget* shown = visibleWindow(screen);
            check(shown);
            // Back to the main window, then the command again: the screen comes to the front.
            window->activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), window);
            give();
            QTRY_COMPARE(QApplication::activeWindow(), shown);
            shown->close();
        }
        QCOMPARE(checked, screen);
    }

    // Qt's own texts (file chooser, print dialog, standard buttons) are Chinese while the program
    // runs, whatever the desktop's language; the program's own texts are its own.
    void qtTextsInChinese_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("chinese");
        QTest::newRow("file chooser: Look in") << "QFileDialog"
                                               << "Look in:"
                                               << "查找范围：";
        QTest::newRow("file chooser: Open") << "QFileDialog"
                                            << "&Open"
                                            << "打开(&O)";
        QTest::newRow("file chooser: new folder") << "QFileDialog"
                                                  << "Create New Folder"
                                                  << "新建文件夹";
        QTest::newRow("print dialog: Print") << "QPrintDialog"
                                             << "&Print"
                                             << "打印(&P)";
        QTest::newRow("standard button: Cancel") << "QPlatformTheme"
                                                 << "Cancel"
                                                 << "取消";
        QTest::newRow("standard button: Save") << "QPlatformTheme"
                                               << "Save"
                                               << "保存";
    }
    void qtTextsInChinese()
    {
        QFETCH(QString, context);
        QFETCH(QString, source);
        QFETCH(QString, chinese);
        DataDir dir;
        Application program(dir.path());
        QCOMPARE(QCoreApplication::translate(context.toLatin1().constData(), source.toLatin1().constData()), chinese);
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Ok)->text(), QStringLiteral("确定"));
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    }

    // The export's directory chooser is Qt's own (not the desktop's), so it speaks Chinese too.
    void theFileChooserSpeaksChinese()
    {
        DataDir dir;
        StoreSetup::createStore(dir.path(), false);
        Application program(dir.path());
        program.createScreens();
        QVERIFY(program.start());
        logIn(program);
        program.mainWindow()->findChild<QAction*>(QStringLiteral("ToolButton4"))->trigger();
        ExportScreen* screen = program.exportScreen();
        screen->findChild<QRadioButton*>(QStringLiteral("RadioButton4"))->click();
        FileDialog::setScripted(false);
        QString lookIn, choose;
        bool own = false;
        QTimer::singleShot(0, screen, [&] {
            if (auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                own = chooser->testOption(QFileDialog::DontUseNativeDialog) && chooser->isVisible();
                lookIn = chooser->labelText(QFileDialog::LookIn);
                choose = chooser->labelText(QFileDialog::Accept);
                chooser->reject();
            }
        });
        screen->findChild<QToolButton*>(QStringLiteral("SpeedButton1"))->click();
        QVERIFY(own);
        QCOMPARE(lookIn, QStringLiteral("查找范围："));
        QCOMPARE(choose, QStringLiteral("选择(&C)"));
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
