#pragma once

#include "exchange/ExchangeRowSink.h"

// Gathers what a reader finds into a table held in memory.
class ExchangeTableCollector : public ExchangeRowSink
{
public:
    void columns(const QList<ExchangeColumn>& columns) override;
    void row(std::span<const ExchangeValue> values) override;

    ExchangeTable take() { return std::move(m_table); }

private:
    ExchangeTable m_table;
};
