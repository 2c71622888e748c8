#include "store/SqliteWorkloadStage.h"

#include "store/SqliteDatabase.h"
#include "store/StoreError.h"
#include "store/StoreSchema.h"

#include <QRegularExpression>

namespace {

QString columnList(const char* prefix)
{
    QStringList names;
    for (const StoreSchema::ColumnDef& c : StoreSchema::gzlColumns())
        names << QLatin1String(prefix) + QLatin1String(c.name);
    return names.join(u',');
}

} // namespace

SqliteWorkloadStage::SqliteWorkloadStage(SqliteDatabase& db, const QString& filter) : m_db(db)
{
    m_db.executeInternal(StoreSchema::createStagedWorkload());
    // The same row identities as in the store: what the statements read of a row's identity is
    // the same, and the rows go back where they came from.
    m_db.executeInternal(QStringLiteral("INSERT INTO temp.gzl (rowid,%1) SELECT rowid,%1 FROM main.gzl WHERE %2")
                             .arg(columnList(""), filter));
    // The calculation finds its rows by category and type, and a teacher's rows by name.
    m_db.executeInternal(QStringLiteral("CREATE INDEX temp.gzl_type ON gzl(fl, shuoming)"));
    m_db.executeInternal(QStringLiteral("CREATE INDEX temp.gzl_teacher ON gzl(jiaoshi, jiaoyanshi, yuanbu)"));
}

SqliteWorkloadStage::~SqliteWorkloadStage()
{
    try {
        m_db.executeInternal(QStringLiteral("DROP TABLE IF EXISTS temp.gzl"));
    } catch (const StoreError&) {
        // Inside the caller's transaction: its rollback takes the table away as well.
    }
}

int SqliteWorkloadStage::writeBack()
{
    const WriteBackLists lists = writeBackLists(QStringLiteral("%1 IS NOT %2"));
    // The changed rows are listed first, walking the stage and finding each store row by its
    // identity; the store's table is never scanned.
    return m_db.executeInternal(
        QStringLiteral("UPDATE main.gzl SET (%1)=(SELECT %2 FROM temp.gzl AS s WHERE s.rowid=main.gzl.rowid) "
                       "WHERE rowid IN (SELECT s.rowid FROM temp.gzl AS s CROSS JOIN main.gzl AS m "
                       "ON m.rowid=s.rowid WHERE %3)")
            .arg(lists.columns, lists.staged, lists.changed));
}

QString SqliteWorkloadStage::infiniteColumn(const StoreError& e) const
{
    static const QRegularExpression check(QStringLiteral("^CHECK constraint failed: finite_(\\w+)$"));
    const QRegularExpressionMatch m = check.match(e.text());
    return m.hasMatch() ? m.captured(1) : QString();
}
