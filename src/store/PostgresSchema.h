#pragma once

#include <QString>
#include <QStringList>

// What a server store holds besides the tables: the functions and operators that give the
// statements and parameter rows the meaning they have on the desktop store, the record of the
// store's layout, and the role the calculation runs as.
namespace PostgresSchema {

// The table that says a schema holds this program's store, and of which layout.
inline constexpr const char* LayoutTable = "workload_layout";
// "on" while the calculation's guard is in place (a setting of the transaction).
inline constexpr const char* CalculatingSetting = "workload.calculating";

// Functions and operators of the store's own schema, found before the server's own ones (the
// connection's search path puts the server's catalogue last):
// - `/` and `%` give NULL for a zero divisor instead of stopping the statement, for every pair of
//   number types;
// - ifnull(), iif(), instr(), two-argument max() and min(), round(x, n) of a double, gbk_len().
QStringList compatibilityStatements(const QString& schema);

// Everything an empty schema needs to become a store of the current layout, the tables included.
QStringList createStatements(const QString& schema);

// The role that runs the calculation's statements: it may read and write only what the
// calculation's grant says. One per database.
QString calculationRole(const QString& database);

} // namespace PostgresSchema
