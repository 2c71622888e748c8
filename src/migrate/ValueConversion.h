#pragma once

#include "exchange/ExchangeTable.h"
#include "exchange/ExchangeValue.h"
#include "store/StoreSchema.h"

#include <QString>

// A value of an old table as the store's column keeps it: numbers as the same doubles, whole
// numbers as they are, text exactly (a blank field, empty text included, stays empty: NULL), a
// number in a text column as its shortest exact decimal text, a date as "yyyy-MM-dd". What the
// column cannot take (a text wider than its GBK width, a text that is no number in a number
// column, a fraction in a whole-number column) is named as a problem instead.
namespace ValueConversion {

struct Result
{
    ExchangeValue value;
    QString problem; // empty when the value fits
};

// `scratch` holds the text made of a number or a date; it must live as long as the result.
Result convert(const ExchangeValue& v, ExchangeColumn::Kind from, const StoreSchema::ColumnDef& to,
               char (&scratch)[32]);

// A value as a problem line shows it ("张三", 12.5, 空).
QString shown(const ExchangeValue& v);

} // namespace ValueConversion
