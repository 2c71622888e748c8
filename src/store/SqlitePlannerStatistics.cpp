#include "store/SqlitePlannerStatistics.h"

#include "store/SqliteDatabase.h"
#include "store/SqlitePreparedStatement.h"

namespace {

// One number from a statement of the engine's own (never traced); -1 when it yields no row.
long long firstNumber(SqliteDatabase& db, const QString& sql, const QString& table = {})
{
    SqlitePreparedStatement statement(db, sql);
    if (!table.isEmpty())
        statement.bind(0, table);
    if (!statement.step() || statement.columnType(0) == PreparedStatement::Type::Null)
        return -1;
    return statement.integer(0);
}

} // namespace

namespace SqlitePlannerStatistics {

bool refresh(SqliteDatabase& db, const QString& table)
{
    const QString quoted = u'"' + QString(table).replace(u'"', QStringLiteral("\"\"")) + u'"';
    const long long rows = firstNumber(db, QStringLiteral("select count(*) from main.%1").arg(quoted));
    const bool haveTable =
        firstNumber(db, QStringLiteral("select count(*) from main.sqlite_master where name='sqlite_stat1'")) > 0;
    // The first number of an index's statistics is the table's row count when they were taken.
    const long long analysed =
        haveTable ? firstNumber(db,
                                QStringLiteral("select cast(stat as integer) from main.sqlite_stat1 where tbl=:table "
                                               "and idx is not null limit 1"),
                                table)
                  : -1;
    if (analysed >= 0 && rows <= analysed * 2 && rows * 2 >= analysed)
        return false;
    if (rows < 100 && analysed < 0)
        return false; // too few rows for the choice of index to matter
    db.executeInternal(QStringLiteral("ANALYZE main.%1").arg(quoted));
    return true;
}

} // namespace SqlitePlannerStatistics
