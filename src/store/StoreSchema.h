#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The tables of the store: columns, types and GBK widths, in table order.
namespace StoreSchema {

enum class ColumnType
{
    Integer,
    SmallInt,
    Number,
    Text,
    Logical
};

// The desktop store (SQLite) or a server store (PostgreSQL): the same tables, each in its engine's
// own types and checks.
enum class Engine
{
    Desktop,
    Server
};

struct ColumnDef
{
    const char* name;
    ColumnType type;
    int width = 0;         // GBK bytes, text columns only
    bool gbkOrder = false; // names that users expect in pinyin order
};

// Current layout version, kept in PRAGMA user_version.
//   1: the first layout
//   2: the export's work tables without width and type checks (they only ever hold copies of
//      checked workload rows, and the file writers check widths themselves)
//   3: an index on section names, which the import looks teachers up by
//   4: faculty names are unique; identical faculty rows of an older store are merged into one
//   5: operator passwords kept as salted hashes, never as typed
//   6: an index on the workload rows' year, which the checks of a year read
//   7: the calculations run (`jsjl`): which year and node, and when, so that figures of a year
//      never calculated are not taken for computed ones
constexpr int Version = 7;

// The forty workload columns in table order.
const std::vector<ColumnDef>& gzlColumns();

// The calculation's staged workload table, the temporary `gzl`: the forty columns with their types
// (and on the desktop their checks) and the row identity, each computed column also refusing an
// infinite value by a check named "finite_<column>".
QString createStagedWorkload(Engine engine = Engine::Desktop);

// The forty workload columns in the order the exchange names them: the 28 numbers, then the 12 texts.
const std::vector<ColumnDef>& exchangeColumns();

// The columns of one of the store's own tables ("gzl", "rydm", "bmdm", "yuanbu",
// "sysparameter", "user1", "niandu", "system"); none for another name.
const std::vector<ColumnDef>& tableColumns(const QString& table);

// Statements that create every table and index of an empty store.
QStringList createStatements(Engine engine = Engine::Desktop);

// Statements that bring a store of layout version `from` to version from + 1.
QStringList upgradeStatements(int from);
// The table of calculations run (one row per calculation: year, tree level, node names, time).
QString calculationTable(Engine engine = Engine::Desktop);
// The operators' table of the current layout.
QString operatorTable(Engine engine = Engine::Desktop);

// Statements that create the staging tables of the import in the attached work database.
QStringList createWorkStatements(const QString& schema);
// The import's staging tables on a server store: temporary tables of the connection.
QStringList createServerWorkStatements();
// On a server store: the operator whose settings record the connection sees (an expression).
QString connectionOperator();
// The columns ordered by their names' GBK bytes, lower case.
QStringList gbkOrderedColumns();

} // namespace StoreSchema
