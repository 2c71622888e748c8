#pragma once

#include "exchange/ExchangeFileError.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

// The content of an exchange file as the program sees it: named, typed columns and rows of
// values. A value is null (an invalid QVariant), a qint64 for the integer kinds, a double for
// numbers or a QString for text.
struct ExchangeColumn
{
    enum class Kind
    {
        Integer,  // 32-bit
        SmallInt, // 16-bit
        Number,   // IEEE double
        Text,     // GBK, at most `width` bytes
        Logical,  // 0 or 1
        Date,     // whole days, day 1 being 1 January of the year 1
        Memo,     // GBK text of any length, kept in the table's memo companion file
        Other     // a column of a foreign file that the program does not read
    };
    QString name;
    Kind kind = Kind::Other;
    int width = 0;

    bool isNumeric() const { return kind == Kind::Integer || kind == Kind::SmallInt || kind == Kind::Number; }
    // The kinds an exchange file holds: numbers and text.
    bool isExchanged() const { return isNumeric() || kind == Kind::Text; }
};

struct ExchangeTable
{
    QList<ExchangeColumn> columns;
    std::vector<QVariantList> rows;

    // Case-blind, as the store matches column names.
    std::optional<int> indexOf(const QString& name) const { return indexOf(columns, name); }
    static std::optional<int> indexOf(const QList<ExchangeColumn>& columns, const QString& name);

    // The forty workload columns in the order the exchange names them (28 numbers, 12 texts).
    static QList<ExchangeColumn> workloadColumns();
};
