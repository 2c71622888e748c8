#pragma once

#include "exchange/ExchangeValue.h"

#include <QString>

#include <string_view>

// Turning exchange values into text and numbers the same way in every writer and reader.
namespace ExchangeValueText {

// The value as a message shows it.
QString shown(const ExchangeValue& v);

// The value's text: text as it is, a number as its shortest decimal text, written into `digits`.
std::string_view textOf(const ExchangeValue& v, char (&digits)[32]);

// The value as a number; text must be one decimal number. Throws ExchangeFileError naming the column.
double numberOf(const ExchangeValue& v, const QString& column);

// Writes the value's text in GBK into a field of `width` bytes and returns its length. Throws
// ExchangeFileError naming the column for a text without a GBK form or one longer than the field.
int putGbk(char* field, int width, const ExchangeValue& v, const QString& column);

} // namespace ExchangeValueText
