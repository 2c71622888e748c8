#include "migrate/KeyDuplicates.h"

#include "exchange/ExchangeValueText.h"

QString KeyDuplicates::keyText(const ExchangeValue& key)
{
    char digits[32];
    const std::string_view text = ExchangeValueText::textOf(key, digits);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QByteArray KeyDuplicates::fingerprint(std::span<const ExchangeValue> values)
{
    QByteArray out;
    for (const ExchangeValue& v : values) {
        char digits[32];
        out += char('0' + int(v.type));
        const std::string_view text = ExchangeValueText::textOf(v, digits);
        out += QByteArray::number(qsizetype(text.size())) + ':';
        out.append(text.data(), qsizetype(text.size()));
    }
    return out;
}

void KeyDuplicates::see(qint64 row, const ExchangeValue& key, std::span<const ExchangeValue> values)
{
    if (key.type == ExchangeValue::Type::Null)
        return;
    if (key.type == ExchangeValue::Type::Integer)
        m_highest = std::max(m_highest, key.integer);
    const QString text = keyText(key);
    const QByteArray print = m_compareRows ? fingerprint(values) : QByteArray();
    const auto found = m_first.constFind(text);
    if (found == m_first.constEnd()) {
        m_first.insert(text, {row, print});
        return;
    }
    m_duplicates << Duplicate{row, found->first, text, m_compareRows && found->second == print};
}
