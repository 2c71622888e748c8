#include "app/Application.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>

namespace {

// The data directory: --dir DIR, the per-user one with --user-data (what the desktop launcher
// uses), or else the current directory.
QString dataDirectory(int argc, char** argv)
{
    // Read before the windowing system is reached, so that --help works without a display.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("workload"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("教师工作量统计系统"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption dir(QStringList{QStringLiteral("d"), QStringLiteral("dir")},
                                 QStringLiteral("The data directory holding workload.sqlite3 (default: the current "
                                                "directory)."),
                                 QStringLiteral("DIR"));
    const QCommandLineOption userData(QStringLiteral("user-data"),
                                      QStringLiteral("Use the per-user data directory (%1).")
                                          .arg(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
    parser.addOption(dir);
    parser.addOption(userData);
    // Qt's own options (-platform, -style, ...) are not ours to refuse: QApplication takes them.
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(help))
        parser.showHelp();
    if (parser.isSet(dir))
        return QDir(parser.value(dir)).absolutePath();
    if (parser.isSet(userData))
        return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir::currentPath();
}

} // namespace

int main(int argc, char** argv)
{
    // The name "workload" gives the per-user data directory ~/.local/share/workload.
    const QString dataDir = dataDirectory(argc, argv);
    QApplication app(argc, argv);
    // The program's own name; the windows keep their own captions exactly.
    QApplication::setApplicationName(QStringLiteral("管理系统"));
    QApplication::setDesktopFileName(QStringLiteral("workload"));
    // The program ends when the login is left or the main window closes, not when the login
    // dialog hides itself on success.
    QApplication::setQuitOnLastWindowClosed(false);

    Application program(dataDir);
    program.createScreens();
    QObject::connect(&program, &Application::ended, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    if (!program.start())
        return 0;
    return app.exec();
}
