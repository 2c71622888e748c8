#include "BoundInsert.h"

#include "Database.h"
#include "StoreError.h"

#include <sqlite3.h>

BoundInsert::BoundInsert(Database& db, const QString& statement) : m_db(db), m_statement(statement)
{
    const QByteArray sql = statement.toUtf8();
    if (sqlite3_prepare_v2(db.handle(), sql.constData(), int(sql.size()), &m_stmt, nullptr) != SQLITE_OK)
        fail();
}

BoundInsert::~BoundInsert()
{
    sqlite3_finalize(m_stmt);
}

void BoundInsert::fail()
{
    throw StoreError(QString::fromUtf8(sqlite3_errmsg(m_db.handle())), m_statement);
}

void BoundInsert::check(int rc)
{
    if (rc != SQLITE_OK)
        fail();
}

void BoundInsert::insert(const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& v = values[i];
        if (!v.isValid() || v.isNull()) {
            check(sqlite3_bind_null(m_stmt, i + 1));
        } else if (v.typeId() == QMetaType::Double) {
            check(sqlite3_bind_double(m_stmt, i + 1, v.toDouble()));
        } else if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int) {
            check(sqlite3_bind_int64(m_stmt, i + 1, v.toLongLong()));
        } else if (v.typeId() == QMetaType::QString) {
            const QByteArray& text = utf8(*static_cast<const QString*>(v.constData()));
            check(sqlite3_bind_text(m_stmt, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT));
        } else {
            const QByteArray text = v.toString().toUtf8();
            check(sqlite3_bind_text(m_stmt, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT));
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
        check(sqlite3_bind_null(m_stmt, index + 1));
        break;
    case ExchangeValue::Type::Integer:
        check(sqlite3_bind_int64(m_stmt, index + 1, value.integer));
        break;
    case ExchangeValue::Type::Number:
        check(sqlite3_bind_double(m_stmt, index + 1, value.number));
        break;
    case ExchangeValue::Type::Text:
        // A null pointer would bind NULL; empty text stays empty text.
        check(sqlite3_bind_text(m_stmt, index + 1, value.text.data() ? value.text.data() : "", int(value.text.size()),
                                text == Text::Stays ? SQLITE_STATIC : SQLITE_TRANSIENT));
        break;
    }
}

void BoundInsert::run()
{
    if (sqlite3_step(m_stmt) != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(m_db.handle()));
        sqlite3_reset(m_stmt);
        throw StoreError(message, m_statement);
    }
    sqlite3_reset(m_stmt);
}
