#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class TFORM1;
class Tdmmsdb;
class TfmpwdF;
class QWidget;

// The program's start: the data module and every screen, created once in a fixed order and
// reused for the whole run; the store of the data directory; the login dialog.
//
// The login dialog does not run a nested event loop from its confirm handler. The entry point
// runs the one loop; a successful login stores the settings record, hides the dialog and shows
// the main window; leaving the dialog without login, or closing the main window, reports
// ended(), on which the entry point leaves the loop. What the operator sees is the same, and
// tests can drive the login and the main window without a blocking call.
class Startup : public QObject
{
    Q_OBJECT
public:
    explicit Startup(QString dataDir, QObject* parent = nullptr);
    ~Startup() override;

    // Creates the data module and every screen, in order, then binds the grids to the data module.
    void createScreens();
    // Opens the store of the data directory (offering to create an empty one when there is none)
    // and shows the login dialog. False when the program is to end at once.
    bool start();

    TFORM1* mainWindow() const { return m_mainWindow; }
    TfmpwdF* loginDialog() const { return m_login; }
    Tdmmsdb* dataModule() const { return m_data.get(); }

signals:
    void ended();

private:
    // Enables the main window's menu items and toolbar buttons of these names to show a screen.
    void openWith(QWidget* screen, std::initializer_list<const char*> commands);

    template <class Screen> Screen* create()
    {
        auto* screen = new Screen;
        m_screens.emplace_back(screen);
        return screen;
    }

    QString m_dataDir;
    std::unique_ptr<Tdmmsdb> m_data;
    std::vector<std::unique_ptr<QObject>> m_screens;
    TFORM1* m_mainWindow = nullptr;
    TfmpwdF* m_login = nullptr;
};
