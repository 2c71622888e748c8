#pragma once

#include "calc/WorkloadCalculator.h"
#include "session/Session.h"
#include "store/DataModule.h"
#include "store/StoreLocation.h"

#include <QObject>
#include <QString>
#include <QTranslator>

#include <memory>
#include <vector>

class AboutBox;
class DataDirectoryLock;
class ExportScreen;
class FacultyDialog;
class FacultyScreen;
class ImportScreen;
class LoginDialog;
class MainWindow;
class ParameterScreen;
class PasswordDialog;
class PracticeEntryDialog;
class QWidget;
class ReportPreview;
class SectionDialog;
class SectionScreen;
class StatsScreen;
class TeacherDialog;
class TeacherScreen;
class TheoryEntryDialog;
class WindowKeeper;

// The program: owns the data module, the session and every screen, creates the screens once in
// their fixed order, hands each what it uses and wires the commands that open one screen from
// another. Nothing of it is reachable through a global.
//
// The login dialog does not run a nested event loop from its confirm handler. The entry point
// runs the one loop; a successful login stores the settings record, hides the dialog and shows
// the main window; leaving the dialog without login, or closing the main window, reports
// ended(), on which the entry point leaves the loop. What the operator sees is the same, and
// tests can drive the login and the main window without a blocking call.
//
// Qt's own texts (the file chooser, the print dialog, standard buttons) are loaded in Chinese
// while the application object lives, whatever the desktop's language.
class Application : public QObject
{
    Q_OBJECT
public:
    explicit Application(QString dataDir, QObject* parent = nullptr);
    // The program on a server store: no data directory, and no lock (many operators share it).
    Application(StoreLocation store, QObject* parent = nullptr);
    ~Application() override;

    // Shows the splash, counts the launch, creates every screen in order, binds the grids to the
    // data module and closes the splash.
    void createScreens();
    // Takes the data directory (one program per directory), completes what killed commands left
    // there, opens its store (offering to create an empty one when there is none) and shows the
    // login dialog. False when the program is to end at once.
    bool start();
    // Opens the store and shows the login; false, with the reason shown, when the store cannot be opened.
    bool connectStore();

    DataModule& dataModule() { return m_data; }
    Session& session() { return m_session; }
    MainWindow* mainWindow() const { return m_mainWindow; }
    LoginDialog* loginDialog() const { return m_login; }
    ExportScreen* exportScreen() const { return m_export; }
    StatsScreen* statsScreen() const { return m_stats; }

signals:
    void ended();

private:
    // Counts this launch in the user's settings; a store that cannot be written is only reported.
    void countLaunch();
    bool takeDataDirectory();
    // Completes or undoes a restore that a killed command left in the data directory and removes
    // the temporaries of ended commands (before the store is looked for); false when the program
    // is to end.
    bool finishInterruptedWork();
    // Which command opens which screen, modal or beside the main window; a command the main
    // window does not have is thrown (ProgramError).
    void wireCommands();
    // Every window but the main window opens above the window it belongs to, centred on it.
    void keepWindows();

    template <class Screen, class... Args> Screen* create(Args&&... args)
    {
        auto* screen = new Screen(std::forward<Args>(args)...);
        m_screens.emplace_back(screen);
        return screen;
    }

    QString m_dataDir;
    StoreLocation m_store;
    QTranslator m_qtTexts;
    std::unique_ptr<DataDirectoryLock> m_lock;
    // The data module and the session come before the screens, which are handed them.
    DataModule m_data;
    Session m_session;
    WorkloadCalculator m_calculator;
    std::vector<std::unique_ptr<QObject>> m_screens;
    std::unique_ptr<WindowKeeper> m_keeper;
    MainWindow* m_mainWindow = nullptr;
    LoginDialog* m_login = nullptr;
    ExportScreen* m_export = nullptr;
    ImportScreen* m_import = nullptr;
    TheoryEntryDialog* m_theory = nullptr;
    PracticeEntryDialog* m_practice = nullptr;
    ParameterScreen* m_parameters = nullptr;
    PasswordDialog* m_password = nullptr;
    AboutBox* m_about = nullptr;
    ReportPreview* m_reportPreview = nullptr;
    StatsScreen* m_stats = nullptr;
    // Master data.
    TeacherDialog* m_teacherDialog2 = nullptr;
    SectionDialog* m_sectionDialog = nullptr;
    TeacherDialog* m_teacherDialog1 = nullptr;
    TeacherScreen* m_teacherScreen = nullptr;
    SectionScreen* m_sectionScreen = nullptr;
    FacultyDialog* m_facultyDialog = nullptr;
    FacultyScreen* m_facultyScreen = nullptr;
};
