#include "app/Application.h"

#include "entry/PracticeEntryDialog.h"
#include "entry/TheoryEntryDialog.h"
#include "exchangeui/ExportScreen.h"
#include "exchangeui/ImportScreen.h"
#include "gui/ErrorDisplay.h"
#include "gui/MessageBox.h"
#include "mainwindow/MainWindow.h"
#include "masterdataui/FacultyDialog.h"
#include "masterdataui/FacultyScreen.h"
#include "masterdataui/SectionDialog.h"
#include "masterdataui/SectionScreen.h"
#include "masterdataui/TeacherDialog.h"
#include "masterdataui/TeacherScreen.h"
#include "shell/LoginDialog.h"
#include "store/Database.h"
#include "store/StoreError.h"
#include "store/StoreSetup.h"

#include <QAction>

Application::Application(QString dataDir, QObject* parent)
    : QObject(parent), m_dataDir(std::move(dataDir)), m_calculator(m_data)
{
}

Application::~Application()
{
    // Screens go first, last created first; the data module they show outlives them.
    while (!m_screens.empty())
        m_screens.pop_back();
}

void Application::createScreens()
{
    // The order of creation. A screen is handed the dialogs and screens it opens, which are
    // created just before it: the main window its entry dialogs and its teacher dialog, the
    // section screen the teacher screen. The other screens follow in their order.
    m_theory = create<TheoryEntryDialog>(m_data, m_session);
    m_practice = create<PracticeEntryDialog>(m_data, m_session);
    m_teacherDialog2 = create<TeacherDialog>(m_data, QStringLiteral("rydm2"));
    m_mainWindow = create<MainWindow>(m_data, m_session, m_calculator, *m_theory, *m_practice, *m_teacherDialog2);
    m_login = create<LoginDialog>(m_data, m_session);
    m_sectionDialog = create<SectionDialog>(m_data);
    m_teacherDialog1 = create<TeacherDialog>(m_data, QStringLiteral("rydm1"));
    m_teacherScreen = create<TeacherScreen>(m_data, *m_teacherDialog1);
    m_sectionScreen = create<SectionScreen>(m_data, *m_sectionDialog, *m_teacherScreen);
    m_export = create<ExportScreen>(m_data, m_session);
    m_import = create<ImportScreen>(m_data);
    m_facultyDialog = create<FacultyDialog>(m_data);
    m_facultyScreen = create<FacultyScreen>(m_data, *m_facultyDialog);

    // The faculty screen blocks the main window; the section screen stays open beside it.
    openModal(m_facultyScreen, {"N2"});
    openBeside(m_sectionScreen, {"N3", "ToolButton2"});

    // Export and import open beside the main window, without blocking it.
    openBeside(m_export, {"N5", "ToolButton4"});
    openBeside(m_import, {"N6", "ToolButton5"});

    m_mainWindow->bindDataSources();

    connect(m_login, &LoginDialog::loggedIn, m_mainWindow, [this] { m_mainWindow->showMaximized(); });
    connect(m_login, &QDialog::rejected, this, &Application::ended);
    connect(m_mainWindow, &MainWindow::closed, this, &Application::ended);
}

void Application::openBeside(QWidget* screen, std::initializer_list<const char*> commands)
{
    for (const char* name : commands) {
        auto* action = m_mainWindow->findChild<QAction*>(QString::fromLatin1(name));
        if (!action)
            continue;
        action->setEnabled(true);
        connect(action, &QAction::triggered, screen, [screen] {
            screen->show();
            screen->raise();
            screen->activateWindow();
        });
    }
}

void Application::openModal(QDialog* screen, std::initializer_list<const char*> commands)
{
    for (const char* name : commands) {
        auto* action = m_mainWindow->findChild<QAction*>(QString::fromLatin1(name));
        if (!action)
            continue;
        action->setEnabled(true);
        connect(action, &QAction::triggered, screen, [screen] { screen->exec(); });
    }
}

bool Application::start()
{
    if (!Database::exists(m_dataDir)) {
        if (!MessageBox::question(nullptr, QStringLiteral("目录 %1 中没有工作量数据库。\n要在这里新建一个空的数据库吗？"
                                                          "（含默认的操作员、年度和计算参数）")
                                               .arg(m_dataDir)))
            return false;
        try {
            StoreSetup::createStore(m_dataDir, false);
        } catch (const StoreError& e) {
            ErrorDisplay::show(nullptr, e.text());
            return false;
        }
    }
    try {
        m_data.connectTo(m_dataDir);
    } catch (const StoreError& e) {
        ErrorDisplay::show(nullptr, e.text());
        return false;
    }
    m_login->show();
    return true;
}
