#include "exchange/ExchangeTableSource.h"

ExchangeTableSource::ExchangeTableSource(const ExchangeTable& table) : m_table(table), m_text(table.columns.size()) {}

bool ExchangeTableSource::next()
{
    if (m_next >= m_table.rows.size())
        return false;
    m_row = &m_table.rows[m_next++];
    if (m_row->size() != m_table.columns.size())
        throw ExchangeFileError(QStringLiteral("row %1 has %2 values for %3 fields")
                                    .arg(m_next)
                                    .arg(m_row->size())
                                    .arg(m_table.columns.size()));
    return true;
}

ExchangeValue ExchangeTableSource::value(int column) const
{
    const QVariant& v = (*m_row)[column];
    if (!v.isValid() || v.isNull())
        return ExchangeValue::null();
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return ExchangeValue::ofNumber(v.toDouble());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Short:
        return ExchangeValue::ofInteger(v.toLongLong());
    default:
        m_text[std::size_t(column)] = v.toString().toUtf8();
        const QByteArray& text = m_text[std::size_t(column)];
        return ExchangeValue::ofText(std::string_view(text.constData(), std::size_t(text.size())));
    }
}
