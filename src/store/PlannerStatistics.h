#pragma once

class Database;

// The engine's statements narrow gzl by year, node and category at once. Which index SQLite
// walks for them depends on its statistics: without any it may take the category index (most
// of the table) over the faculty index, several times slower on a large store. This takes the
// statistics of gzl when there are none or when the table has grown or shrunk by more than
// half since they were taken. Runs untraced, inside the caller's transaction.
namespace PlannerStatistics {

// Returns true when it (re)analysed gzl.
bool refreshWorkload(Database& db);

} // namespace PlannerStatistics
