#include "migrate/ValueConversion.h"

#include "exchange/ExchangeValueText.h"
#include "exchange/NumberText.h"
#include "store/Gbk.h"

#include <QDate>

#include <cmath>
#include <cstring>

namespace ValueConversion {
namespace {

using StoreSchema::ColumnType;

// Day 1 of a Paradox date is 1 January of the year 1.
constexpr qint64 JulianDayBeforeDayOne = 1721425;

Result ok(ExchangeValue v)
{
    return {v, {}};
}

Result refused(const QString& why)
{
    return {ExchangeValue::null(), why};
}

std::string_view written(const char* text, char (&scratch)[32])
{
    const std::size_t n = std::min(std::strlen(text), sizeof scratch);
    std::memcpy(scratch, text, n);
    return {scratch, n};
}

std::string_view textOf(const ExchangeValue& v, ExchangeColumn::Kind from, char (&scratch)[32])
{
    if (from == ExchangeColumn::Kind::Date) {
        const QDate day = QDate::fromJulianDay(v.integer + JulianDayBeforeDayOne);
        return written(day.toString(Qt::ISODate).toLatin1().constData(), scratch);
    }
    return ExchangeValueText::textOf(v, scratch);
}

Result toText(const ExchangeValue& v, ExchangeColumn::Kind from, const StoreSchema::ColumnDef& to, char (&scratch)[32])
{
    const ExchangeValue text = ExchangeValue::ofText(textOf(v, from, scratch));
    if (text.text.empty())
        return ok(ExchangeValue::null());
    const long long width = Gbk::length(text.text);
    if (width > to.width)
        return refused(QStringLiteral("%1 宽 %2 字节，超过本系统的 %3 字节").arg(shown(text)).arg(width).arg(to.width));
    return ok(text);
}

std::optional<double> numberOf(const ExchangeValue& v)
{
    switch (v.type) {
    case ExchangeValue::Type::Integer:
        return double(v.integer);
    case ExchangeValue::Type::Number:
        return v.number;
    case ExchangeValue::Type::Text:
        return NumberText::parse(v.text);
    case ExchangeValue::Type::Null:
        break;
    }
    return std::nullopt;
}

Result toNumber(const ExchangeValue& v)
{
    const std::optional<double> d = numberOf(v);
    if (!d || !std::isfinite(*d))
        return refused(QStringLiteral("%1 不是数").arg(shown(v)));
    return ok(ExchangeValue::ofNumber(*d));
}

Result toWhole(const ExchangeValue& v, qint64 limit)
{
    const std::optional<double> d = numberOf(v);
    if (v.type == ExchangeValue::Type::Integer && v.integer >= -limit - 1 && v.integer <= limit)
        return ok(v);
    if (!d || *d != std::trunc(*d) || *d < double(-limit - 1) || *d > double(limit))
        return refused(QStringLiteral("%1 不是 %2 以内的整数").arg(shown(v)).arg(limit));
    return ok(ExchangeValue::ofInteger(qint64(*d)));
}

Result toLogical(const ExchangeValue& v)
{
    const std::optional<double> d = numberOf(v);
    if (!d || (*d != 0 && *d != 1))
        return refused(QStringLiteral("%1 不是逻辑值").arg(shown(v)));
    return ok(ExchangeValue::ofInteger(qint64(*d)));
}

} // namespace

QString shown(const ExchangeValue& v)
{
    if (v.type == ExchangeValue::Type::Null)
        return QStringLiteral("空");
    if (v.type == ExchangeValue::Type::Text)
        return u'"' + QString::fromUtf8(v.text.data(), qsizetype(v.text.size())) + u'"';
    return ExchangeValueText::shown(v);
}

Result convert(const ExchangeValue& v, ExchangeColumn::Kind from, const StoreSchema::ColumnDef& to, char (&scratch)[32])
{
    if (v.type == ExchangeValue::Type::Null)
        return ok(v);
    if (v.type == ExchangeValue::Type::Text && v.text.empty())
        return ok(ExchangeValue::null());
    switch (to.type) {
    case ColumnType::Text:
        return toText(v, from, to, scratch);
    case ColumnType::Number:
        return toNumber(v);
    case ColumnType::Integer:
        return toWhole(v, 2147483647);
    case ColumnType::SmallInt:
        return toWhole(v, 32767);
    case ColumnType::Logical:
        return toLogical(v);
    }
    return refused(QStringLiteral("%1 不能迁移").arg(shown(v)));
}

} // namespace ValueConversion
