#include "exchange/ImportStagingSink.h"

#include "exchange/ExchangeValueText.h"

void ImportStagingSink::columns(const QList<ExchangeColumn>& found)
{
    QStringList names;
    for (const ExchangeColumn& c : m_wanted) {
        const std::optional<int> i = ExchangeTable::indexOf(found, c.name);
        if (!i)
            throw ExchangeFileError(QStringLiteral("no field %1").arg(c.name));
        const ExchangeColumn& f = found[*i];
        if (!f.isExchanged() || (c.isNumeric() && !f.isNumeric()))
            throw ExchangeFileError(QStringLiteral("field %1 has the wrong type").arg(c.name));
        m_index.push_back(*i);
        names << c.name;
    }
    m_insert.emplace(m_db, QStringLiteral("work.") + m_table, names);
}

void ImportStagingSink::finish()
{
    if (m_insert)
        m_insert->finish();
}

void ImportStagingSink::row(std::span<const ExchangeValue> values)
{
    for (std::size_t i = 0; i < m_index.size(); ++i) {
        const ExchangeValue& v = values[std::size_t(m_index[i])];
        if (m_wanted[qsizetype(i)].isNumeric() || v.type == ExchangeValue::Type::Text) {
            // The reader's texts stay put for the whole row, which is inserted before the next.
            m_insert->bind(int(i), v, BoundInsert::Text::Stays);
        } else if (v.type == ExchangeValue::Type::Null) {
            m_insert->bind(int(i), ExchangeValue::ofText({})); // a blank text is empty text
        } else {
            // A number in a text column: its text.
            char digits[32];
            m_insert->bind(int(i), ExchangeValue::ofText(ExchangeValueText::textOf(v, digits)));
        }
    }
    m_insert->run();
}
