#include "exchange/BoundInsert.h"

#include "store/Database.h"

BoundInsert::BoundInsert(Database& db, const QString& statement) : m_statement(db.prepare(statement)) {}

BoundInsert::BoundInsert(Database& db, const QString& table, const QStringList& columns)
    : m_statement(db.prepareAppend(table, columns))
{}

void BoundInsert::finish()
{
    m_statement->finish();
}

void BoundInsert::insert(const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& v = values[i];
        if (v.typeId() == QMetaType::QString) {
            const QByteArray& text = utf8(*static_cast<const QString*>(v.constData()));
            m_statement->bindText(i, std::string_view(text.constData(), std::size_t(text.size())));
        } else {
            m_statement->bind(i, v);
        }
    }
    run();
}

const QByteArray& BoundInsert::utf8(const QString& text)
{
    // Rows read from the store share one QString per distinct text, so the UTF-8 form (the store
    // keeps UTF-8) is made once per text. The entry holds a copy of the text, which keeps its
    // buffer, and so the key, from being freed and reused for another text.
    if (m_utf8.size() >= 16384)
        m_utf8.clear();
    auto found = m_utf8.find(text.constData());
    if (found == m_utf8.end())
        found = m_utf8.emplace(text.constData(), std::make_pair(text, text.toUtf8())).first;
    return found->second.second;
}

void BoundInsert::bind(int index, const ExchangeValue& value, Text text)
{
    switch (value.type) {
    case ExchangeValue::Type::Null:
        m_statement->bindNull(index);
        break;
    case ExchangeValue::Type::Integer:
        m_statement->bindInteger(index, value.integer);
        break;
    case ExchangeValue::Type::Number:
        m_statement->bindNumber(index, value.number);
        break;
    case ExchangeValue::Type::Text:
        m_statement->bindText(index, value.text, text);
        break;
    }
}

void BoundInsert::run()
{
    m_statement->step();
    m_statement->reset();
}
