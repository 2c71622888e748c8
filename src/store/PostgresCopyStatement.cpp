#include "store/PostgresCopyStatement.h"

#include "store/PostgresDatabase.h"
#include "store/PostgresResult.h"
#include "store/StoreError.h"

#include <libpq-fe.h>

namespace {

// The stream's text form: backslash, tab, line feed and carriage return escaped.
QByteArray escaped(std::string_view utf8)
{
    QByteArray out;
    out.reserve(qsizetype(utf8.size()));
    for (const char c : utf8) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

PostgresCopyStatement::PostgresCopyStatement(PostgresDatabase& db, const QString& statement, const QString& table,
                                             const QStringList& columns)
    : PreparedStatement(statement), m_db(db),
      m_copy(QStringLiteral("COPY %1 (%2) FROM STDIN").arg(table, columns.join(u',')).toUtf8()),
      m_values(columns.size(), QByteArrayLiteral("\\N"))
{}

PostgresCopyStatement::~PostgresCopyStatement()
{
    if (!m_streaming)
        return;
    // Not finished: the rows are given up, and the caller's transaction with them.
    PQputCopyEnd(m_db.connection(), "abandoned");
    while (PGresult* r = PQgetResult(m_db.connection()))
        PQclear(r);
}

void PostgresCopyStatement::bindNull(int index)
{
    m_values[index] = QByteArrayLiteral("\\N");
}

void PostgresCopyStatement::bindInteger(int index, qint64 value)
{
    m_values[index] = QByteArray::number(value);
}

void PostgresCopyStatement::bindNumber(int index, double value)
{
    m_values[index] = PostgresResult::numberText(value);
}

void PostgresCopyStatement::bindText(int index, std::string_view utf8, Text)
{
    m_values[index] = escaped(utf8);
}

bool PostgresCopyStatement::step()
{
    if (!m_streaming)
        start();
    m_line.clear();
    for (qsizetype i = 0; i < m_values.size(); ++i) {
        if (i > 0)
            m_line += '\t';
        m_line += m_values[i];
    }
    m_line += '\n';
    put(m_line);
    return false;
}

void PostgresCopyStatement::start()
{
    PGresult* r = PQexec(m_db.connection(), m_copy.constData());
    if (PQresultStatus(r) != PGRES_COPY_IN) {
        const StoreError e = m_db.failure(r, statement());
        PQclear(r);
        throw e;
    }
    PQclear(r);
    m_streaming = true;
}

void PostgresCopyStatement::put(const QByteArray& bytes)
{
    if (PQputCopyData(m_db.connection(), bytes.constData(), int(bytes.size())) != 1) {
        m_streaming = false;
        throw m_db.failure(nullptr, statement());
    }
}

void PostgresCopyStatement::finish()
{
    if (!m_streaming)
        return;
    m_streaming = false;
    if (PQputCopyEnd(m_db.connection(), nullptr) != 1)
        throw m_db.failure(nullptr, statement());
    StoreError refusal(QString{});
    bool refused = false;
    while (PGresult* r = PQgetResult(m_db.connection())) {
        if (!refused && PQresultStatus(r) != PGRES_COMMAND_OK) {
            refusal = m_db.failure(r, statement());
            refused = true;
        }
        PQclear(r);
    }
    if (refused)
        throw refusal;
}
