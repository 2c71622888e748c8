#include "exchange/ExchangeTableCollector.h"

void ExchangeTableCollector::columns(const QList<ExchangeColumn>& columns)
{
    m_table.columns = columns;
}

void ExchangeTableCollector::row(std::span<const ExchangeValue> values)
{
    QVariantList row;
    row.reserve(qsizetype(values.size()));
    for (const ExchangeValue& v : values) {
        switch (v.type) {
        case ExchangeValue::Type::Null:
            row << QVariant();
            break;
        case ExchangeValue::Type::Integer:
            row << QVariant(v.integer);
            break;
        case ExchangeValue::Type::Number:
            row << QVariant(v.number);
            break;
        case ExchangeValue::Type::Text:
            row << QVariant(QString::fromUtf8(v.text.data(), qsizetype(v.text.size())));
            break;
        }
    }
    m_table.rows.push_back(std::move(row));
}
