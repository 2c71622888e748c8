#pragma once

#include "exchange/ExchangeValue.h"

// Rows handed to a file writer one at a time, so that a large table never needs to be held
// in memory as a whole.
class ExchangeRowSource
{
public:
    virtual ~ExchangeRowSource() = default;
    // Moves to the next row; false when there is none.
    virtual bool next() = 0;
    // The value of a column of the current row, in the order of the columns given to the writer.
    virtual ExchangeValue value(int column) const = 0;
};
