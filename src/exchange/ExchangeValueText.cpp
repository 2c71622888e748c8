#include "exchange/ExchangeValueText.h"

#include "exchange/ExchangeFileError.h"
#include "exchange/NumberText.h"
#include "store/Gbk.h"

#include <charconv>
#include <cmath>

namespace ExchangeValueText {

QString shown(const ExchangeValue& v)
{
    switch (v.type) {
    case ExchangeValue::Type::Integer:
        return QString::number(v.integer);
    case ExchangeValue::Type::Number:
        return NumberText::shortest(v.number);
    case ExchangeValue::Type::Text:
        return QString::fromUtf8(v.text.data(), qsizetype(v.text.size()));
    case ExchangeValue::Type::Null:
        break;
    }
    return {};
}

std::string_view textOf(const ExchangeValue& v, char (&digits)[32])
{
    switch (v.type) {
    case ExchangeValue::Type::Number:
        return {digits, std::size_t(NumberText::shortestChars(v.number, digits))};
    case ExchangeValue::Type::Integer:
        return {digits, std::size_t(std::to_chars(digits, digits + sizeof digits, v.integer).ptr - digits)};
    case ExchangeValue::Type::Text:
        return v.text;
    case ExchangeValue::Type::Null:
        break;
    }
    return {};
}

double numberOf(const ExchangeValue& v, const QString& column)
{
    if (v.type == ExchangeValue::Type::Number) {
        // Neither format has room for an infinite or undefined figure; the dBASE field would
        // silently show 0.
        if (!std::isfinite(v.number))
            throw ExchangeFileError(QStringLiteral("%1: %2 is not a finite number").arg(column, shown(v)));
        return v.number;
    }
    if (v.type == ExchangeValue::Type::Integer)
        return double(v.integer);
    if (const std::optional<double> parsed = NumberText::parse(v.text))
        return *parsed;
    throw ExchangeFileError(QStringLiteral("%1: \"%2\" is not a number").arg(column, shown(v)));
}

int putGbk(char* field, int width, const ExchangeValue& v, const QString& column)
{
    char digits[32];
    const long long length = Gbk::encodeInto(textOf(v, digits), field, width);
    if (length < 0)
        throw ExchangeFileError(QStringLiteral("%1: text without a GBK form").arg(column));
    if (length > width)
        throw ExchangeFileError(QStringLiteral("%1: \"%2\" is longer than %3 bytes").arg(column, shown(v)).arg(width));
    return int(length);
}

} // namespace ExchangeValueText
