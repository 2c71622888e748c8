#pragma once

#include "exchange/ExchangeRowSink.h"
#include "store/StoreSchema.h"

#include <QStringList>

#include <functional>
#include <vector>

// Reads the rows of one old table as the rows of the store's table of that name: each store
// column is found among the old fields by name whatever its case, and each value converted as
// the column keeps it (ValueConversion). A store column the old table lacks stays empty; an old
// field the store has no column for is left behind. Both are noted. A field of a type that
// cannot carry the column's values refuses the table.
class TableCopy : public ExchangeRowSink
{
public:
    // A row (counted from 1) with one value per store column, valid during the call.
    using RowHandler = std::function<void(qint64 row, std::span<const ExchangeValue> values)>;
    // A value the column cannot take (the row then has an empty value there).
    using ProblemHandler = std::function<void(qint64 row, const QString& column, const QString& problem)>;

    TableCopy(const std::vector<StoreSchema::ColumnDef>& target, RowHandler rows, ProblemHandler problems);

    void columns(const QList<ExchangeColumn>& found) override;
    void row(std::span<const ExchangeValue> values) override;

    qint64 rows() const { return m_rows; }
    const QStringList& missingColumns() const { return m_missing; }
    const QStringList& extraColumns() const { return m_extra; }

private:
    struct Scratch
    {
        char text[32];
    };

    const std::vector<StoreSchema::ColumnDef>& m_target;
    RowHandler m_handleRow;
    ProblemHandler m_handleProblem;
    std::vector<int> m_source; // per store column: the old field, or -1
    std::vector<ExchangeColumn::Kind> m_kinds;
    std::vector<ExchangeValue> m_values;
    std::vector<Scratch> m_scratch;
    QStringList m_missing;
    QStringList m_extra;
    qint64 m_rows = 0;
};
