#include "store/PreparedStatement.h"

#include "store/Database.h"
#include "store/StoreError.h"

#include <sqlite3.h>

PreparedStatement::PreparedStatement(Database& db, const QString& statement) : m_db(db), m_statement(statement)
{
    const QByteArray sql = statement.toUtf8();
    if (sqlite3_prepare_v2(m_db.m_db, sql.constData(), int(sql.size()), &m_stmt, nullptr) != SQLITE_OK)
        fail();
    if (!m_stmt)
        throw StoreError(QStringLiteral("语句为空"), m_statement);
}

PreparedStatement::~PreparedStatement()
{
    sqlite3_finalize(m_stmt);
}

void PreparedStatement::fail()
{
    throw m_db.lastError(m_statement);
}

void PreparedStatement::check(int rc)
{
    if (rc != SQLITE_OK)
        fail();
}

void PreparedStatement::bindNull(int index)
{
    check(sqlite3_bind_null(m_stmt, index + 1));
}

void PreparedStatement::bindInteger(int index, qint64 value)
{
    check(sqlite3_bind_int64(m_stmt, index + 1, value));
}

void PreparedStatement::bindNumber(int index, double value)
{
    check(sqlite3_bind_double(m_stmt, index + 1, value));
}

void PreparedStatement::bindText(int index, std::string_view utf8, Text text)
{
    // A null pointer would bind NULL; empty text stays empty text.
    check(sqlite3_bind_text(m_stmt, index + 1, utf8.data() ? utf8.data() : "", int(utf8.size()),
                            text == Text::Stays ? SQLITE_STATIC : SQLITE_TRANSIENT));
}

void PreparedStatement::bind(int index, const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        bindNull(index);
    } else if (value.typeId() == QMetaType::Double) {
        bindNumber(index, value.toDouble());
    } else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong ||
               value.typeId() == QMetaType::Bool) {
        bindInteger(index, value.toLongLong());
    } else {
        const QByteArray utf8 = value.toString().toUtf8();
        bindText(index, std::string_view(utf8.constData(), std::size_t(utf8.size())));
    }
}

bool PreparedStatement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const StoreError error = m_db.lastError(m_statement);
    sqlite3_reset(m_stmt);
    throw error;
}

void PreparedStatement::reset()
{
    sqlite3_reset(m_stmt);
}

int PreparedStatement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

PreparedStatement::Type PreparedStatement::columnType(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return Type::Integer;
    case SQLITE_FLOAT:
        return Type::Number;
    case SQLITE_TEXT:
        return Type::Text;
    case SQLITE_BLOB:
        return Type::Blob;
    default:
        return Type::Null;
    }
}

qint64 PreparedStatement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

double PreparedStatement::number(int column) const
{
    return sqlite3_column_double(m_stmt, column);
}

std::string_view PreparedStatement::text(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return std::string_view(text ? text : "", std::size_t(sqlite3_column_bytes(m_stmt, column)));
}
