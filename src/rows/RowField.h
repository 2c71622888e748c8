#pragma once

#include <QString>
#include <QStringList>

// One column of a workload row as an entry dialog writes it: its name, its text, and how the
// text goes into the statement.
struct RowField
{
    enum class Type
    {
        Text,   // between quotes, through the quoting helper
        Number, // typed by the operator: spliced as typed, and only when it is a plain number
        Code    // a number the program derives itself (gm, bg): spliced as it is
    };

    QString column;
    QString text;
    Type type = Type::Text;
    // The insert lists this column first (the practice row names its student type first).
    bool insertFirst = false;
    // The insert writes this value and the next one on one line ("<gm>,<bg>,").
    bool insertSharesLine = false;

    // The value as it stands in a statement.
    QString literal() const;
    // The text of a row's field of that column; empty when the row has none.
    static QString textOf(const QList<RowField>& fields, const QString& column);
};

// The statements of an entry dialog, built from one field table: the insert lists the serial
// and then the fields, the update assigns them in table order.
namespace RowStatement {

QStringList insert(const QList<RowField>& fields, int serial);
QStringList update(const QList<RowField>& fields, const QString& where);

} // namespace RowStatement
