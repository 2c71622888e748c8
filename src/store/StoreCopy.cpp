#include "store/StoreCopy.h"

#include "store/Database.h"
#include "store/HeldTemporary.h"
#include "store/PreparedStatement.h"
#include "store/StoreFiles.h"
#include "store/Transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QList<StoreCopy::TableCount> copyTable(Database& from, Database& to, const QString& table,
                                       QList<StoreCopy::TableCount> counts)
{
    QStringList columns;
    const QStringList there = from.columnsOf(table);
    for (const QString& c : to.columnsOf(table))
        if (there.contains(c))
            columns << c;
    to.execute(QStringLiteral("delete from %1").arg(table));
    const Database::Result rows =
        from.select(QStringLiteral("select %1 from %2 order by %3").arg(columns.join(u','), table, from.rowIdentity()));
    // The settings record is a view on a server (a record per operator), which takes its rows one
    // insert at a time.
    const std::unique_ptr<PreparedStatement> insert =
        table == u"system" ? to.prepare(Database::appendStatement(table, columns)) : to.prepareAppend(table, columns);
    for (std::size_t r = 0; r < rows.rows.size(); ++r) {
        for (int c = 0; c < columns.size(); ++c)
            insert->bind(c, rows.rows.value(r, c));
        insert->step();
        insert->reset();
    }
    insert->finish();
    counts.append({table, int(rows.rows.size())});
    return counts;
}

// A desktop store in a directory of its own, next to `file`, removed with it.
HeldTemporary besideFile(const QString& file)
{
    const QFileInfo info(file);
    return HeldTemporary::create(HeldTemporary::Kind::Directory,
                                 info.absoluteDir().filePath(QStringLiteral(".workload-copy-XXXXXX")));
}

} // namespace

namespace StoreCopy {

QStringList tables()
{
    return {QStringLiteral("yuanbu"), QStringLiteral("bmdm"),         QStringLiteral("rydm"),
            QStringLiteral("gzl"),    QStringLiteral("sysparameter"), QStringLiteral("user1"),
            QStringLiteral("niandu"), QStringLiteral("system")};
}

QList<TableCount> replaceRows(Database& from, Database& to)
{
    QList<TableCount> counts;
    Transaction tx(to);
    for (const QString& table : tables())
        counts = copyTable(from, to, table, counts);
    tx.commit();
    to.refreshPlannerStatistics(QStringLiteral("gzl"));
    return counts;
}

QList<TableCount> push(const QString& dataDir, const QString& server)
{
    const std::unique_ptr<Database> from = Database::open(StoreLocation::desktop(dataDir));
    std::unique_ptr<Database> to;
    try {
        to = Database::open(StoreLocation::onServer(server));
    } catch (const StoreError& e) {
        if (e.kind() != StoreError::Kind::DamagedFile)
            throw;
        // No store there yet: an empty database (anything else there is refused by create).
        to = Database::create(StoreLocation::onServer(server), false);
    }
    for (const char* table : {"gzl", "rydm", "bmdm", "yuanbu"}) {
        if (to->hasRows(QStringLiteral("select 1 from %1").arg(QLatin1String(table))))
            throw StoreError(QStringLiteral("服务器上的数据库 %1 中已有数据 (%2), 没有复制。请用 restore 替换它")
                                 .arg(to->location(), QLatin1String(table)));
    }
    return replaceRows(*from, *to);
}

QList<TableCount> backupServer(const QString& server, const QString& file)
{
    const std::unique_ptr<Database> from = Database::open(StoreLocation::onServer(server));
    HeldTemporary dir = besideFile(file);
    QList<TableCount> counts;
    {
        const std::unique_ptr<Database> to = Database::create(StoreLocation::desktop(dir.path()), false);
        // One snapshot of the server store for every table: the copy is consistent.
        from->execute(QStringLiteral("begin transaction isolation level repeatable read"));
        try {
            counts = replaceRows(*from, *to);
            from->rollback();
        } catch (...) {
            from->rollback();
            throw;
        }
    }
    StoreFiles::replaceFile(Database::storePath(dir.path()), file);
    return counts;
}

QList<TableCount> restoreServer(const QString& server, const QString& file)
{
    if (!QFileInfo(file).isFile())
        throw StoreError(QStringLiteral("没有这个文件: %1").arg(file), {}, StoreError::Kind::Io);
    HeldTemporary dir =
        HeldTemporary::create(HeldTemporary::Kind::Directory, QDir::temp().filePath(QStringLiteral("workload-XXXXXX")));
    if (!QFile::copy(file, Database::storePath(dir.path())))
        throw StoreError(QStringLiteral("不能读取文件: %1").arg(file), {}, StoreError::Kind::Io);
    // Opening brings an older layout up to date and refuses a file that is no store.
    const std::unique_ptr<Database> from = Database::open(StoreLocation::desktop(dir.path()));
    const std::unique_ptr<Database> to = Database::open(StoreLocation::onServer(server));
    return replaceRows(*from, *to);
}

} // namespace StoreCopy
