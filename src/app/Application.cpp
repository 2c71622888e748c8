#include "app/Application.h"

#include "app/CommandWiring.h"
#include "app/MigrationRun.h"
#include "entry/PracticeEntryDialog.h"
#include "entry/TheoryEntryDialog.h"
#include "exchangeui/ExportScreen.h"
#include "exchangeui/ImportScreen.h"
#include "gui/ErrorDisplay.h"
#include "gui/MessageBox.h"
#include "gui/WindowKeeper.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/TeacherFinder.h"
#include "masterdataui/FacultyDialog.h"
#include "masterdataui/FacultyScreen.h"
#include "masterdataui/SectionDialog.h"
#include "masterdataui/SectionScreen.h"
#include "masterdataui/TeacherDialog.h"
#include "masterdataui/TeacherScreen.h"
#include "paramsui/ParameterScreen.h"
#include "reportsui/ReportPreview.h"
#include "session/DataDirectoryLock.h"
#include "shell/AboutBox.h"
#include "shell/LaunchCounter.h"
#include "shell/LoginDialog.h"
#include "shell/PasswordDialog.h"
#include "shell/SplashScreen.h"
#include "statsui/StatsScreen.h"
#include "store/Database.h"
#include "store/StoreError.h"
#include "store/StoreRecovery.h"
#include "store/StoreSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QSettings>

Application::Application(QString dataDir, QObject* parent) : Application(StoreLocation::desktop(dataDir), parent) {}

Application::Application(StoreLocation store, QObject* parent)
    : QObject(parent), m_dataDir(store.dataDir), m_store(std::move(store)), m_calculator(m_data)
{
    // Without the translations installed Qt's dialogs stay in English; the program works on.
    if (m_qtTexts.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_qtTexts);
}

Application::~Application()
{
    // Screens go first, last created first; the data module they show outlives them.
    while (!m_screens.empty())
        m_screens.pop_back();
}

void Application::createScreens()
{
    // The splash stays up, painted, while the screens are created.
    SplashScreen splash;
    splash.showAndPaint();
    countLaunch();

    // The order of creation. A screen is handed the dialogs and screens it opens, which are
    // created just before it: the main window its entry dialogs and its teacher dialog, the
    // section screen the teacher screen, the faculty screen its dialog. The other screens follow
    // in their order.
    m_theory = create<TheoryEntryDialog>(m_data, m_session);
    m_practice = create<PracticeEntryDialog>(m_data, m_session);
    m_teacherDialog2 = create<TeacherDialog>(m_data, QStringLiteral("rydm2"));
    m_mainWindow = create<MainWindow>(m_data, m_session, m_calculator, *m_theory, *m_practice, *m_teacherDialog2);
    m_login = create<LoginDialog>(m_data, m_session);
    m_about = create<AboutBox>();
    m_password = create<PasswordDialog>(m_data, m_session);
    m_sectionDialog = create<SectionDialog>(m_data);
    m_teacherDialog1 = create<TeacherDialog>(m_data, QStringLiteral("rydm1"));
    m_teacherScreen = create<TeacherScreen>(m_data, *m_teacherDialog1);
    m_sectionScreen = create<SectionScreen>(m_data, *m_sectionDialog, *m_teacherScreen);
    m_parameters = create<ParameterScreen>(m_data);
    m_export = create<ExportScreen>(m_data, m_session);
    m_import = create<ImportScreen>(m_data);
    m_reportPreview = create<ReportPreview>(m_data, m_session);
    m_facultyDialog = create<FacultyDialog>(m_data);
    m_facultyScreen = create<FacultyScreen>(m_data, *m_facultyDialog);
    m_stats = create<StatsScreen>(m_data, m_session);

    wireCommands();
    keepWindows();
    m_mainWindow->bindDataSources();

    connect(m_login, &LoginDialog::loggedIn, m_mainWindow, [this] { m_mainWindow->showMaximized(); });
    connect(m_login, &QDialog::rejected, this, &Application::ended);
    connect(m_mainWindow, &MainWindow::closed, this, &Application::ended);
}

void Application::wireCommands()
{
    // The faculty and parameter screens block the main window; the parameter item shows only
    // with ParamRight.
    const CommandWiring commands(*m_mainWindow);
    commands.openModal(*m_facultyScreen, {"N2"});
    commands.openModal(*m_parameters, {"N8"});
    // The others open beside it and come to the front when already open.
    commands.openBeside(*m_sectionScreen, {"N3", "ToolButton2"});
    commands.openBeside(*m_export, {"N5", "ToolButton4"});
    commands.openBeside(*m_import, {"N6", "ToolButton5"});
    commands.openBeside(*m_password, {"N10", "ToolButton6"});
    commands.openBeside(*m_about, {"N12", "ToolButton7"});
    commands.openBeside(*m_stats, {"N14", "ToolButton9"});
    // The statistics follow the tree's node, and a bar or row of theirs selects its node there.
    connect(m_mainWindow, &MainWindow::nodeSelected, m_stats, &StatsScreen::followSelection);
    connect(m_stats, &StatsScreen::nodeRequested, m_mainWindow,
            [this](const Selection::Node& node) { m_mainWindow->showNode(node); });
    // The tree popup's "编辑" shows the faculty or the section screen modally.
    connect(m_mainWindow, &MainWindow::facultyScreenRequested, m_facultyScreen, [this] { m_facultyScreen->exec(); });
    connect(m_mainWindow, &MainWindow::sectionScreenRequested, m_sectionScreen, [this] { m_sectionScreen->exec(); });
    // The teacher grid's "打印": the preview of the list it shows.
    connect(m_mainWindow, &MainWindow::printRequested, m_reportPreview,
            [this] { m_reportPreview->previewTeacherList(); });
}

void Application::keepWindows()
{
    m_keeper = std::make_unique<WindowKeeper>(m_mainWindow);
    for (const std::unique_ptr<QObject>& screen : m_screens)
        if (auto* window = qobject_cast<QWidget*>(screen.get()); window && window != m_mainWindow)
            m_keeper->keep(window);
    m_keeper->keep(m_mainWindow->finder());
}

void Application::countLaunch()
{
    const std::unique_ptr<QSettings> settings = LaunchCounter::openUserSettings();
    LaunchCounter counter(*settings);
    if (const std::optional<QString> problem = counter.countLaunch())
        MessageBox::show(nullptr, QCoreApplication::applicationName(), *problem, MessageBox::NoIcon, MessageBox::Ok);
}

bool Application::takeDataDirectory()
{
    if (!QDir().mkpath(m_dataDir)) {
        ErrorDisplay::show(nullptr, QStringLiteral("不能建立数据目录: %1").arg(m_dataDir));
        return false;
    }
    m_lock = std::make_unique<DataDirectoryLock>(m_dataDir);
    if (m_lock->tryLock())
        return true;
    MessageBox::error(nullptr, QStringLiteral("数据目录 %1 正在被另一个工作量计算程序使用%2，不能同时打开。")
                                   .arg(QDir::toNativeSeparators(m_dataDir), m_lock->holderNote()));
    return false;
}

bool Application::finishInterruptedWork()
{
    try {
        const StoreRecovery::Outcome outcome = StoreRecovery::recover(m_dataDir);
        for (const StoreRecovery::FinishedRestore& restore : outcome.finished) {
            QString text =
                QStringLiteral("上次中断的数据库恢复（%1）已经完成。").arg(QDir::toNativeSeparators(restore.source));
            if (!restore.kept.isEmpty())
                text += QStringLiteral("\n原来的数据库保存为 %1。").arg(QDir::toNativeSeparators(restore.kept));
            MessageBox::information(nullptr, text);
        }
    } catch (const StoreError& e) {
        ErrorDisplay::show(nullptr, e.text());
        return false;
    }
    return true;
}

bool Application::start()
{
    if (m_store.isServer())
        return connectStore();
    if (!takeDataDirectory() || !finishInterruptedWork())
        return false;
    while (!Database::exists(m_dataDir)) {
        const MessageBox::Answer answer = MessageBox::choose(
            nullptr,
            QStringLiteral(
                "目录 %1 中没有工作量数据库。\n要在这里新建一个空的数据库吗？（含默认的操作员、年度和计算参数）\n"
                "用过原来的工作量程序的，也可以把它的数据目录整个迁移过来。")
                .arg(m_dataDir),
            QStringLiteral("迁移原系统数据…"));
        if (answer == MessageBox::AnswerCancel)
            return false;
        if (answer == MessageBox::AnswerOther) {
            // A migration that did not happen leaves no store: the question comes again.
            MigrationRun(m_dataDir).run(nullptr);
            continue;
        }
        try {
            StoreSetup::createStore(m_dataDir, false);
        } catch (const StoreError& e) {
            ErrorDisplay::show(nullptr, e.text());
            return false;
        }
    }
    return connectStore();
}

bool Application::connectStore()
{
    try {
        m_data.connectTo(m_store);
    } catch (const StoreError& e) {
        ErrorDisplay::show(nullptr, e.text());
        return false;
    }
    const QString location = m_data.database()->location();
    m_about->setStoreLocation(location);
    m_mainWindow->setStoreLocation(location);
    m_login->show();
    return true;
}
