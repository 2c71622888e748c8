#include "PlannerStatistics.h"

#include "Database.h"

#include <sqlite3.h>

#include <memory>

namespace {

// One number from a statement of the engine's own (never traced); -1 when it yields no row.
long long firstNumber(sqlite3* db, const char* sql)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        const QString text = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(stmt);
        throw StoreError(text, QString::fromUtf8(sql));
    }
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(stmt, sqlite3_finalize);
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW)
        return sqlite3_column_type(stmt, 0) == SQLITE_NULL ? -1 : sqlite3_column_int64(stmt, 0);
    if (rc != SQLITE_DONE)
        throw StoreError(QString::fromUtf8(sqlite3_errmsg(db)), QString::fromUtf8(sql));
    return -1;
}

} // namespace

namespace PlannerStatistics {

bool refreshWorkload(Database& db)
{
    sqlite3* handle = db.handle();
    const long long rows = firstNumber(handle, "select count(*) from main.gzl");
    const bool haveTable = firstNumber(handle, "select count(*) from main.sqlite_master where name='sqlite_stat1'") > 0;
    // The first number of an index's statistics is the table's row count when they were taken.
    const long long analysed =
        haveTable ? firstNumber(handle, "select cast(stat as integer) from main.sqlite_stat1 where tbl='gzl' "
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
