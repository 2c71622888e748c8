#pragma once

#include "exchange/BoundInsert.h"
#include "exchange/ExchangeRowSink.h"

#include <optional>
#include <vector>

class Database;

// Stages a file's rows in the import's work table as the reader finds them. A file that lacks
// one of the forty columns, or brings text where a number belongs, is not an exchange file.
class ImportStagingSink : public ExchangeRowSink
{
public:
    ImportStagingSink(Database& db, const QString& table) : m_db(db), m_table(table) {}

    void columns(const QList<ExchangeColumn>& found) override;
    void row(std::span<const ExchangeValue> values) override;
    // After the last row: every row is staged, or the store's refusal is thrown.
    void finish();

private:
    Database& m_db;
    QString m_table;
    const QList<ExchangeColumn> m_wanted = ExchangeTable::workloadColumns();
    std::vector<int> m_index;
    std::optional<BoundInsert> m_insert;
};
