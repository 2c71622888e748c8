#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The program's statements name the teacher/section join as "from rydm,bmdm" and then use
// `bmdm` unqualified in conditions and orderings, where both tables have that column (and the
// join makes them equal). SQLite refuses such a name as ambiguous; this pass qualifies every
// unqualified column shared by several tables of a top-level FROM list with the first listed
// table that has it. Nothing else in the statement is touched.
namespace SqlDialect {

// Lower-case column names of a table; empty when the table is unknown.
using ColumnLookup = std::function<QStringList(const QString& table)>;

QString resolveSharedColumns(const QString& statement, const ColumnLookup& columnsOf);

} // namespace SqlDialect
