#include "store/PostgresWorkloadStage.h"

#include "store/PostgresDatabase.h"
#include "store/StoreError.h"
#include "store/StoreSchema.h"

#include <QRegularExpression>

namespace {

QString columnList()
{
    QStringList names;
    for (const StoreSchema::ColumnDef& c : StoreSchema::gzlColumns())
        names << QLatin1String(c.name);
    return names.join(u',');
}

} // namespace

PostgresWorkloadStage::PostgresWorkloadStage(PostgresDatabase& db, const QString& filter) : m_db(db)
{
    m_db.executeInternal(StoreSchema::createStagedWorkload(StoreSchema::Engine::Server));

    // The same row identities as in the store: what the statements read of a row's identity is
    // the same, and the rows go back where they came from.
    m_db.executeInternal(QStringLiteral("INSERT INTO pg_temp.gzl (rowid,%1) SELECT rowid,%1 FROM %2.gzl WHERE %3")
                             .arg(columnList(), m_db.quotedSchema(), m_db.translated(filter)));
    // The totals look each teacher's rows up by name. A node's rows are few enough to be read
    // whole for a category and type, and the write back joins them by a hash: more indexes would
    // cost each update more than they save.
    m_db.executeInternal(QStringLiteral("CREATE INDEX gzl_teacher ON pg_temp.gzl(jiaoshi, jiaoyanshi, yuanbu)"));
}

PostgresWorkloadStage::~PostgresWorkloadStage()
{
    try {
        m_db.executeInternal(QStringLiteral("DROP TABLE IF EXISTS pg_temp.gzl"));
    } catch (const StoreError&) {
        // Inside the caller's failed transaction: its rollback takes the table away as well.
    }
}

int PostgresWorkloadStage::writeBack()
{
    const WriteBackLists lists = writeBackLists(QStringLiteral("%1 IS DISTINCT FROM %2"));
    return m_db.executeInternal(QStringLiteral("UPDATE %1.gzl AS m SET (%2)=(%3) FROM pg_temp.gzl AS s "
                                               "WHERE m.rowid=s.rowid AND (%4)")
                                    .arg(m_db.quotedSchema(), lists.columns, lists.staged, lists.changed));
}

QString PostgresWorkloadStage::infiniteColumn(const StoreError& e) const
{
    // The server's message names the check in quotes, in whatever language it speaks.
    static const QRegularExpression check(QStringLiteral("\"finite_(\\w+)\""));
    const QRegularExpressionMatch m = check.match(e.text());
    return m.hasMatch() ? m.captured(1) : QString();
}
