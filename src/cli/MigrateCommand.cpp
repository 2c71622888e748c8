#include "cli/Cli.h"
#include "migrate/Migration.h"
#include "session/DataDirectoryLock.h"
#include "store/Database.h"
#include "store/StoreBackup.h"
#include "store/StoreCopy.h"
#include "store/StoreSetup.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

// The store's copy before its tables are replaced, named as a restore names the store it replaces.
QString backupName(const QString& dataDir)
{
    const QString store = Database::storePath(dataDir);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = store + QStringLiteral(".%1.bak").arg(stamp);
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = store + QStringLiteral(".%1-%2.bak").arg(stamp).arg(n);
    return name;
}

void printLines(QTextStream& out, const QStringList& lines)
{
    for (const QString& line : lines)
        out << line << "\n";
}

void printReport(Cli::Context& c, const MigrationReport& report)
{
    printLines(c.out, report.tableLines());
    printLines(c.out, report.changes);
}

// Writes the old installation into the store: a new one, or the existing one after a backup.
// Returns the backup's path (empty for a new store).
QString writeStore(Cli::Context& c, Migration& migration)
{
    if (!Database::exists(c.dataDir)) {
        StoreSetup::createStore(
            c.dataDir, false,
            [&](const QString& building) {
                auto db = Database::open(building);
                migration.write(*db);
            },
            false);
        return {};
    }
    const QString backup = backupName(c.dataDir);
    StoreBackup::backup(c.dataDir, backup);
    auto db = Database::open(c.dataDir);
    migration.write(*db);
    return backup;
}

// A server store: made by the migration, or with --replace its rows replaced after a backup of it,
// written as a desktop store file into the current directory. Returns the backup's path.
QString writeServer(Cli::Context& c, Migration& migration)
{
    if (!c.args.has(u"--replace")) {
        // Refuses a database that holds a store already, or anything else.
        auto db = Database::create(c.store, false);
        migration.write(*db);
        return {};
    }
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString backup = QDir::current().filePath(QStringLiteral("workload-server.%1.bak").arg(stamp));
    for (int n = 2; QFileInfo::exists(backup); ++n)
        backup = QDir::current().filePath(QStringLiteral("workload-server.%1-%2.bak").arg(stamp).arg(n));
    StoreCopy::backupServer(c.store.server, backup);
    auto db = Database::open(c.store);
    migration.write(*db);
    return backup;
}

int finishServer(Cli::Context& c, Migration& migration, const QString& oldDir)
{
    const QString backup = writeServer(c, migration);
    c.out << "migrated " << QDir::toNativeSeparators(oldDir) << " onto " << c.store.display() << "\n";
    if (!backup.isEmpty())
        c.out << "the store before is kept as " << QDir::toNativeSeparators(backup) << "\n";
    printLines(c.out, migration.report().notes);
    return 0;
}

int runMigrate(Cli::Context& c)
{
    const QString oldDir = c.args.argument(0);
    const bool dryRun = c.args.has(u"--dry-run");
    if (!dryRun && !c.store.isServer() && Database::exists(c.dataDir) && !c.args.has(u"--replace")) {
        c.err << "a store already exists: " << QDir::toNativeSeparators(Database::storePath(c.dataDir))
              << " (--replace replaces its tables with the old installation's, after a backup)\n";
        return 1;
    }
    Migration migration(oldDir, c.args.has(u"--repair"));
    const MigrationReport& report = migration.check();
    printReport(c, report);
    if (report.refused()) {
        c.err << QStringLiteral("原系统的表中有冲突，没有迁移，请先在原系统中修改：") << "\n";
        printLines(c.err, report.conflictLines());
        if (!c.args.has(u"--repair"))
            c.err << QStringLiteral("（--repair 可以合并重复的院部、教研室和教师，给重复的代码和序号换新的；"
                                    "超宽的文字不会被截断）")
                  << "\n";
        return 1;
    }
    if (dryRun) {
        c.out << "dry run: nothing written\n";
        return 0;
    }
    if (c.store.isServer())
        return finishServer(c, migration, oldDir);
    if (!QDir().mkpath(c.dataDir)) {
        c.err << QStringLiteral("不能建立数据目录: %1").arg(QDir::toNativeSeparators(c.dataDir)) << "\n";
        return 1;
    }
    DataDirectoryLock lock(c.dataDir);
    if (!Cli::holdDataDirectory(c, lock, QStringLiteral("迁移")))
        return 1;
    const QString backup = writeStore(c, migration);
    c.out << "migrated " << QDir::toNativeSeparators(oldDir) << " into "
          << QDir::toNativeSeparators(Database::storePath(c.dataDir)) << "\n";
    if (!backup.isEmpty())
        c.out << "the store before is kept as " << QDir::toNativeSeparators(backup) << "\n";
    printLines(c.out, report.notes);
    return 0;
}

} // namespace

Cli::Command migrateCommand()
{
    using Option = CommandSyntax::Option;
    return {.name = QStringLiteral("migrate"),
            .usage = QStringLiteral("migrate OLDDIR [--replace] [--dry-run] [--repair]"),
            .summary = QStringLiteral(
                "brings the old program's data directory OLDDIR (its Paradox tables) into the store in one "
                "transaction and prints the rows of each table and what it changed; into a new store, or with "
                "--replace into the existing one after a backup (of a server store: a desktop store file in the "
                "current directory); --dry-run reads and checks only; conflicts (duplicate codes, faculties or "
                "serials, texts too wide) refuse it unless --repair mends them"),
            .syntax = {.options = {Option::flag("--replace"), Option::flag("--dry-run"), Option::flag("--repair")},
                       .arguments = {QStringLiteral("OLDDIR")}},
            .run = runMigrate};
}
