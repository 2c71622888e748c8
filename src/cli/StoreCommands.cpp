#include "cli/Cli.h"
#include "session/DataDirectoryLock.h"
#include "store/Database.h"
#include "store/StoreBackup.h"
#include "store/StoreCopy.h"

#include <QDir>
#include <QFileInfo>

namespace {

void printCounts(Cli::Context& c, const QList<StoreCopy::TableCount>& counts)
{
    for (const StoreCopy::TableCount& t : counts)
        c.out << t.table << ": " << t.rows << " rows\n";
}

int runBackup(Cli::Context& c)
{
    const QString target = c.args.argument(0);
    if (c.store.isServer()) {
        const QList<StoreCopy::TableCount> counts = StoreCopy::backupServer(c.store.server, target);
        c.out << "backed up " << c.store.display() << " to " << QDir::toNativeSeparators(target) << "\n";
        printCounts(c, counts);
        return 0;
    }
    const int layout = StoreBackup::backup(c.dataDir, target);
    c.out << "backed up "
          << QDir::toNativeSeparators(QDir(c.dataDir).absoluteFilePath(QStringLiteral("workload.sqlite3"))) << " to "
          << QDir::toNativeSeparators(target) << " (layout " << layout << ", integrity ok)\n";
    return 0;
}

int runRestore(Cli::Context& c)
{
    const QString source = c.args.argument(0);
    if (c.store.isServer()) {
        const QList<StoreCopy::TableCount> counts = StoreCopy::restoreServer(c.store.server, source);
        c.out << "restored " << QDir::toNativeSeparators(source) << " onto " << c.store.display() << "\n";
        printCounts(c, counts);
        return 0;
    }
    if (!QFileInfo(c.dataDir).isDir()) {
        c.err << QStringLiteral("没有数据目录: %1").arg(QDir::toNativeSeparators(c.dataDir)) << "\n";
        return 1;
    }
    // Held for the whole restore: the program cannot start on the directory meanwhile.
    DataDirectoryLock lock(c.dataDir);
    if (!Cli::holdDataDirectory(c, lock, QStringLiteral("恢复")))
        return 1;
    const QString kept = StoreBackup::restore(c.dataDir, source);
    c.out << "restored " << QDir::toNativeSeparators(source);
    if (!kept.isEmpty())
        c.out << "; the replaced store is kept as " << QDir::toNativeSeparators(kept);
    c.out << "\n";
    return 0;
}

int runPush(Cli::Context& c)
{
    if (!c.store.isServer())
        throw Cli::UsageError(QStringLiteral("push copies a desktop store onto a server: give --server CONNINFO"));
    const QString dataDir = c.args.argument(0);
    // The desktop program must not change the store while it is copied.
    DataDirectoryLock lock(dataDir);
    Cli::Context local{dataDir, StoreLocation::desktop(dataDir), {}, c.out, c.err};
    if (!Cli::holdDataDirectory(local, lock, QStringLiteral("复制")))
        return 1;
    const QList<StoreCopy::TableCount> counts = StoreCopy::push(dataDir, c.store.server);
    c.out << "copied " << QDir::toNativeSeparators(Database::storePath(dataDir)) << " to " << c.store.display() << "\n";
    printCounts(c, counts);
    return 0;
}

} // namespace

bool Cli::holdDataDirectory(Context& c, DataDirectoryLock& lock, const QString& action)
{
    if (lock.tryLock())
        return true;
    c.err << QStringLiteral("数据目录 %1 正在被工作量计算程序使用%2，请先退出程序再%3。")
                 .arg(QDir::toNativeSeparators(c.dataDir), lock.holderNote(), action)
          << "\n";
    return false;
}

Cli::Command backupCommand()
{
    return {.name = QStringLiteral("backup"),
            .usage = QStringLiteral("backup FILE"),
            .summary = QStringLiteral("copies the whole store consistently to FILE, also while the program works on "
                                      "it, and checks the copy (integrity and layout)"),
            .syntax = CommandSyntax::takingOneArgument("the file", true),
            .run = runBackup};
}

Cli::Command restoreCommand()
{
    return {.name = QStringLiteral("restore"),
            .usage = QStringLiteral("restore FILE"),
            .summary =
                QStringLiteral("replaces the store with a checked copy of FILE (a backup); the replaced store is "
                               "kept beside it as workload.sqlite3.<date-time>.bak; refused while the program "
                               "holds the data directory"),
            .syntax = CommandSyntax::takingOneArgument("the file", true),
            .run = runRestore};
}

Cli::Command pushCommand()
{
    return {.name = QStringLiteral("push"),
            .usage = QStringLiteral("push DATADIR"),
            .summary = QStringLiteral("with --server CONNINFO: copies the desktop store of DATADIR onto an empty "
                                      "server store, in one transaction"),
            .syntax = CommandSyntax::takingOneArgument("the data directory", false),
            .run = runPush};
}
