#pragma once

#include "store/SqlDialect.h"

#include <QSet>
#include <QString>

// The program's statements, and the conditions and expressions kept in parameter rows, are
// written for the desktop store. On the server they are given the same meaning:
// - names that several tables of the FROM list share are qualified (as on the desktop store);
// - a double-quoted text that names no column is a text literal, as the desktop store reads it;
// - `==` is `=`;
// - LIKE ignores the case of ASCII letters (ILIKE on a database whose character type is C);
// - ORDER BY a name column (faculty, section, teacher) sorts by the names' GBK bytes;
// - COLLATE BINARY is the byte order of the text ("C"); a hexadecimal number (0x1E) is its value;
// - a decimal or exponent literal is a double, and one beyond every double an infinity;
// - the rows of one table, where a query gives no order, come in the order they were stored;
// - `?` and `:name` parameters of a bound statement become `$1`, `$2`, … in order of first
//   appearance (`:name` used twice is one parameter).
// Division by zero, ifnull(), gbk_len() and the like are functions and operators of the store's
// own schema (see PostgresSchema), not rewrites.
namespace PostgresDialect {

struct Names
{
    SqlDialect::ColumnLookup columnsOf;
    // Every column name of the store's tables, lower case.
    QSet<QString> columns;
    // The columns whose order is the GBK order of their bytes, lower case.
    QSet<QString> gbkOrdered;
    // The tables (lower case) that number their rows in a column "rowid".
    QSet<QString> numbered;
};

QString translate(const QString& statement, const Names& names, bool bound);
// The statement after the pass that both engines make (the shared columns qualified): what a
// trace shows, so that a statement reads the same whichever engine runs it.
QString sharedPass(const QString& statement, const Names& names);

} // namespace PostgresDialect
