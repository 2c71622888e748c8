#include "store/SqlitePreparedStatement.h"

#include "store/SqliteDatabase.h"
#include "store/StoreError.h"

#include <sqlite3.h>

SqlitePreparedStatement::SqlitePreparedStatement(SqliteDatabase& db, const QString& statement)
    : PreparedStatement(statement), m_db(db)
{
    const QByteArray sql = statement.toUtf8();
    if (sqlite3_prepare_v2(m_db.m_db, sql.constData(), int(sql.size()), &m_stmt, nullptr) != SQLITE_OK)
        fail();
    if (!m_stmt)
        throw StoreError(QStringLiteral("语句为空"), statement);
}

SqlitePreparedStatement::~SqlitePreparedStatement()
{
    sqlite3_finalize(m_stmt);
}

void SqlitePreparedStatement::fail()
{
    throw m_db.lastError(statement());
}

void SqlitePreparedStatement::check(int rc)
{
    if (rc != SQLITE_OK)
        fail();
}

void SqlitePreparedStatement::bindNull(int index)
{
    check(sqlite3_bind_null(m_stmt, index + 1));
}

void SqlitePreparedStatement::bindInteger(int index, qint64 value)
{
    check(sqlite3_bind_int64(m_stmt, index + 1, value));
}

void SqlitePreparedStatement::bindNumber(int index, double value)
{
    check(sqlite3_bind_double(m_stmt, index + 1, value));
}

void SqlitePreparedStatement::bindText(int index, std::string_view utf8, Text text)
{
    // A null pointer would bind NULL; empty text stays empty text.
    check(sqlite3_bind_text(m_stmt, index + 1, utf8.data() ? utf8.data() : "", int(utf8.size()),
                            text == Text::Stays ? SQLITE_STATIC : SQLITE_TRANSIENT));
}

bool SqlitePreparedStatement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const StoreError error = m_db.lastError(statement());
    sqlite3_reset(m_stmt);
    throw error;
}

void SqlitePreparedStatement::reset()
{
    sqlite3_reset(m_stmt);
}

int SqlitePreparedStatement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

PreparedStatement::Type SqlitePreparedStatement::columnType(int column) const
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

qint64 SqlitePreparedStatement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

double SqlitePreparedStatement::number(int column) const
{
    return sqlite3_column_double(m_stmt, column);
}

std::string_view SqlitePreparedStatement::text(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return std::string_view(text ? text : "", std::size_t(sqlite3_column_bytes(m_stmt, column)));
}
