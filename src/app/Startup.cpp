#include "Startup.h"

#include "Database.h"
#include "ErrorDisplay.h"
#include "MessageBox.h"
#include "StoreError.h"
#include "StoreSetup.h"
#include "TFORM1.h"
#include "Tdmmsdb.h"

#include "Tfmlilunf.h"
#include "TfmpwdF.h"
#include "TfmrecoverF.h"
#include "Tfmsavefile.h"
#include "Tfmsjjxf.h"
#include <QAction>

Startup::Startup(QString dataDir, QObject* parent) : QObject(parent), m_dataDir(std::move(dataDir)) {}

Startup::~Startup()
{
    // Screens go first, last created first; the data module they show outlives them.
    while (!m_screens.empty())
        m_screens.pop_back();
    m_data.reset();
}

void Startup::createScreens()
{
    // The order of creation. Screens that are not part of the program yet simply join the list
    // at their place: About box, password dialog, section dialog and screen, teacher screen and
    // dialog, parameter screen before the export; the teacher dialog Trydm2, the report and the
    // faculty screen and dialog after the practice dialog.
    m_mainWindow = create<TFORM1>();
    m_login = create<TfmpwdF>();
    m_data = std::make_unique<Tdmmsdb>();
    auto* saveFile = create<Tfmsavefile>();
    auto* recover = create<TfmrecoverF>();
    create<Tfmlilunf>();
    create<Tfmsjjxf>();

    // Export and import open beside the main window, without blocking it.
    openWith(saveFile, {"N5", "ToolButton4"});
    openWith(recover, {"N6", "ToolButton5"});

    // The main window was created before the data module whose sources its grids show.
    m_mainWindow->bindDataSources();

    connect(m_login, &TfmpwdF::loggedIn, m_mainWindow, [this] { m_mainWindow->showMaximized(); });
    connect(m_login, &QDialog::rejected, this, &Startup::ended);
    connect(m_mainWindow, &TFORM1::closed, this, &Startup::ended);
}

void Startup::openWith(QWidget* screen, std::initializer_list<const char*> commands)
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

bool Startup::start()
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
        m_data->connectTo(m_dataDir);
    } catch (const StoreError& e) {
        ErrorDisplay::show(nullptr, e.text());
        return false;
    }
    m_login->show();
    return true;
}
