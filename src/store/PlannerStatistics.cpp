#include "store/PlannerStatistics.h"

#include "store/Database.h"
#include "store/PreparedStatement.h"

namespace {

// One number from a statement of the engine's own (never traced); -1 when it yields no row.
long long firstNumber(Database& db, const char* sql)
{
    PreparedStatement statement(db, QString::fromLatin1(sql));
    if (!statement.step() || statement.columnType(0) == PreparedStatement::Type::Null)
        return -1;
    return statement.integer(0);
}

} // namespace

namespace PlannerStatistics {

bool refreshWorkload(Database& db)
{
    const long long rows = firstNumber(db, "select count(*) from main.gzl");
    const bool haveTable = firstNumber(db, "select count(*) from main.sqlite_master where name='sqlite_stat1'") > 0;
    // The first number of an index's statistics is the table's row count when they were taken.
    const long long analysed =
        haveTable ? firstNumber(db, "select cast(stat as integer) from main.sqlite_stat1 where tbl='gzl' "
                                    "and idx is not null limit 1")
                  : -1;
    if (analysed >= 0 && rows <= analysed * 2 && rows * 2 >= analysed)
        return false;
    if (rows < 100 && analysed < 0)
        return false; // too few rows for the choice of index to matter
    db.executeInternal(QStringLiteral("ANALYZE main.gzl"));
    return true;
}

} // namespace PlannerStatistics
