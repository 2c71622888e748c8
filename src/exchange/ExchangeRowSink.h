#pragma once

#include "exchange/ExchangeTable.h"
#include "exchange/ExchangeValue.h"

#include <span>

// Receives what a file reader finds: the columns first, then every row in file order. Either
// call may throw to stop the reading.
class ExchangeRowSink
{
public:
    virtual ~ExchangeRowSink() = default;
    virtual void columns(const QList<ExchangeColumn>& columns) = 0;
    // One value per column; the text views are valid during the call only.
    virtual void row(std::span<const ExchangeValue> values) = 0;
};
