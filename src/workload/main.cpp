#include "app/Application.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The program's own name; the windows keep their own captions exactly.
    QApplication::setApplicationName(QStringLiteral("管理系统"));
    // The program ends when the login is left or the main window closes, not when the login
    // dialog hides itself on success.
    QApplication::setQuitOnLastWindowClosed(false);

    // No command line is read: the data directory is the current directory.
    Application program(QDir::currentPath());
    program.createScreens();
    QObject::connect(&program, &Application::ended, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    if (!program.start())
        return 0;
    return app.exec();
}
