#include "cli/Cli.h"
#include "session/DataDirectoryLock.h"
#include "store/StoreBackup.h"

#include <QDir>
#include <QFileInfo>

namespace {

int runBackup(Cli::Context& c)
{
    const QString target = c.args.argument(0);
    const int layout = StoreBackup::backup(c.dataDir, target);
    c.out << "backed up "
          << QDir::toNativeSeparators(QDir(c.dataDir).absoluteFilePath(QStringLiteral("workload.sqlite3"))) << " to "
          << QDir::toNativeSeparators(target) << " (layout " << layout << ", integrity ok)\n";
    return 0;
}

int runRestore(Cli::Context& c)
{
    const QString source = c.args.argument(0);
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
