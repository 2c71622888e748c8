#pragma once

#include "exchange/ExchangeRowSource.h"
#include "exchange/ExchangeTable.h"

#include <QByteArray>

#include <vector>

// The rows of a table held in memory, as a writer takes them.
class ExchangeTableSource : public ExchangeRowSource
{
public:
    explicit ExchangeTableSource(const ExchangeTable& table);

    bool next() override;
    ExchangeValue value(int column) const override;

private:
    const ExchangeTable& m_table;
    std::size_t m_next = 0;
    const QVariantList* m_row = nullptr;
    mutable std::vector<QByteArray> m_text; // UTF-8 of the current row's texts
};
