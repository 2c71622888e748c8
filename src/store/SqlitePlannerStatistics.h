#pragma once

#include <QString>

class SqliteDatabase;

// The engine's statements narrow gzl by year, node and category at once, and the import looks
// teachers up through rydm and bmdm. Which index SQLite walks for them depends on its
// statistics: without any it may take the category index (most of the table) over the faculty
// index, several times slower on a large store. This takes a table's statistics when there are
// none or when the table has grown or shrunk by more than half since they were taken. Runs
// untraced, inside the caller's transaction.
namespace SqlitePlannerStatistics {

// Returns true when it (re)analysed the table.
bool refresh(SqliteDatabase& db, const QString& table);

} // namespace SqlitePlannerStatistics
