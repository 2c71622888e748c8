#include "store/PostgresPreparedStatement.h"

#include "store/PostgresDatabase.h"
#include "store/PostgresResult.h"
#include "store/StoreError.h"

#include <libpq-fe.h>

#include <charconv>

PostgresPreparedStatement::PostgresPreparedStatement(PostgresDatabase& db, const QString& statement, const QString& sql,
                                                     const QString& name)
    : PreparedStatement(statement), m_db(db), m_name(name.toUtf8()), m_sql(sql.toUtf8())
{
    pg_result* r = PQprepare(m_db.m_conn, m_name.constData(), m_sql.constData(), 0, nullptr);
    const bool ok = r && PQresultStatus(r) == PGRES_COMMAND_OK;
    if (!ok) {
        const StoreError e = m_db.failure(r, statement);
        PQclear(r);
        throw e;
    }
    PQclear(r);
    pg_result* described = PQdescribePrepared(m_db.m_conn, m_name.constData());
    const int parameters = described ? PQnparams(described) : 0;
    PQclear(described);
    m_values.resize(parameters);
}

PostgresPreparedStatement::~PostgresPreparedStatement()
{
    clearResult();
    // A connection in a failed transaction refuses even this; the statement goes with the session.
    PQclear(PQexec(m_db.m_conn, ("DEALLOCATE " + m_name).constData()));
}

void PostgresPreparedStatement::clearResult()
{
    PQclear(m_result);
    m_result = nullptr;
    m_row = -1;
}

void PostgresPreparedStatement::bindValue(int index, QByteArray value)
{
    if (index < 0 || index >= m_values.size())
        throw StoreError(QStringLiteral("参数 %1 超出范围").arg(index + 1), statement());
    m_values[index] = std::move(value);
}

void PostgresPreparedStatement::bindNull(int index)
{
    bindValue(index, QByteArray());
}

void PostgresPreparedStatement::bindInteger(int index, qint64 value)
{
    bindValue(index, QByteArray::number(value));
}

void PostgresPreparedStatement::bindNumber(int index, double value)
{
    bindValue(index, PostgresResult::numberText(value));
}

void PostgresPreparedStatement::bindText(int index, std::string_view utf8, Text)
{
    // Empty text stays empty text, never NULL.
    bindValue(index, utf8.empty() ? QByteArray("") : QByteArray(utf8.data(), qsizetype(utf8.size())));
}

bool PostgresPreparedStatement::step()
{
    if (!m_ran) {
        m_ran = true;
        clearResult();
        m_result = m_db.exec(m_sql, m_values, statement(), m_name);
        m_db.afterStatement(statement());
    }
    if (!m_result || PQresultStatus(m_result) != PGRES_TUPLES_OK)
        return false;
    ++m_row;
    return m_row < PQntuples(m_result);
}

void PostgresPreparedStatement::reset()
{
    clearResult();
    m_ran = false;
}

int PostgresPreparedStatement::columnCount() const
{
    return m_result ? PQnfields(m_result) : 0;
}

PreparedStatement::Type PostgresPreparedStatement::columnType(int column) const
{
    if (!m_result || PQgetisnull(m_result, m_row, column))
        return Type::Null;
    switch (PostgresResult::valueType(PQftype(m_result, column))) {
    case PostgresResult::ValueType::Integer:
        return Type::Integer;
    case PostgresResult::ValueType::Number:
        return Type::Number;
    case PostgresResult::ValueType::Text:
        break;
    }
    return Type::Text;
}

qint64 PostgresPreparedStatement::integer(int column) const
{
    const std::string_view t = text(column);
    if (!t.empty() && (t[0] == 't' || t[0] == 'f'))
        return t[0] == 't' ? 1 : 0;
    qint64 v = 0;
    if (std::from_chars(t.data(), t.data() + t.size(), v).ec != std::errc())
        return qint64(number(column));
    return v;
}

double PostgresPreparedStatement::number(int column) const
{
    const std::string_view t = text(column);
    double v = 0;
    PostgresResult::toNumber(t.data(), int(t.size()), v);
    return v;
}

std::string_view PostgresPreparedStatement::text(int column) const
{
    if (!m_result || m_row < 0 || m_row >= PQntuples(m_result))
        return {};
    return std::string_view(PQgetvalue(m_result, m_row, column), std::size_t(PQgetlength(m_result, m_row, column)));
}
