#include "app/Application.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <cstdio>
#include <optional>

namespace {

// The store: a server's with --server CONNINFO (remembered in the user's settings, without a
// password, for --last-server), else the data directory: --dir DIR, the per-user one with
// --user-data (what the desktop launcher uses), or else the current directory. nullopt when the
// command line is refused.
std::optional<StoreLocation> storeLocation(int argc, char** argv)
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
    const QCommandLineOption server(QStringLiteral("server"),
                                    QStringLiteral("A store on a PostgreSQL server: a libpq connection string or URI "
                                                   "(postgresql://user@host/db); ~/.pgpass holds the password."),
                                    QStringLiteral("CONNINFO"));
    const QCommandLineOption lastServer(QStringLiteral("last-server"),
                                        QStringLiteral("The server store used last (without its password)."));
    parser.addOption(dir);
    parser.addOption(userData);
    parser.addOption(server);
    parser.addOption(lastServer);
    // Qt's own options (-platform, -style, ...) are not ours to refuse: QApplication takes them.
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(help))
        parser.showHelp();
    const int stores =
        int(parser.isSet(dir) || parser.isSet(userData)) + int(parser.isSet(server)) + int(parser.isSet(lastServer));
    if (stores > 1) {
        fputs("workload: --dir (or --user-data), --server and --last-server name different stores: give one\n", stderr);
        return std::nullopt;
    }
    QSettings settings;
    if (parser.isSet(server)) {
        settings.setValue(QStringLiteral("store/server"),
                          StoreLocation::onServer(parser.value(server)).withoutPassword());
        return StoreLocation::onServer(parser.value(server));
    }
    if (parser.isSet(lastServer)) {
        const QString last = settings.value(QStringLiteral("store/server")).toString();
        if (last.isEmpty()) {
            fputs("workload: no server store was used yet: give --server CONNINFO\n", stderr);
            return std::nullopt;
        }
        return StoreLocation::onServer(last);
    }
    if (parser.isSet(dir))
        return StoreLocation::desktop(QDir(parser.value(dir)).absolutePath());
    if (parser.isSet(userData))
        return StoreLocation::desktop(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    return StoreLocation::desktop(QDir::currentPath());
}

} // namespace

int main(int argc, char** argv)
{
    // The name "workload" gives the per-user data directory ~/.local/share/workload.
    const std::optional<StoreLocation> store = storeLocation(argc, argv);
    if (!store)
        return 2;
    QApplication app(argc, argv);
    // The program's own name; the windows keep their own captions exactly.
    QApplication::setApplicationName(QStringLiteral("管理系统"));
    QApplication::setDesktopFileName(QStringLiteral("workload"));
    // The program ends when the login is left or the main window closes, not when the login
    // dialog hides itself on success.
    QApplication::setQuitOnLastWindowClosed(false);

    Application program(*store);
    program.createScreens();
    QObject::connect(&program, &Application::ended, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    if (!program.start())
        return 0;
    return app.exec();
}
