#include "StatementRows.h"

#include "Database.h"
#include "StoreError.h"

#include <sqlite3.h>

StatementRows::StatementRows(Database& db, const QString& statement) : m_db(db), m_statement(statement)
{
    const QByteArray sql = statement.toUtf8();
    if (sqlite3_prepare_v2(db.handle(), sql.constData(), int(sql.size()), &m_stmt, nullptr) != SQLITE_OK)
        throw StoreError(QString::fromUtf8(sqlite3_errmsg(db.handle())), statement);
}

StatementRows::~StatementRows()
{
    sqlite3_finalize(m_stmt);
}

bool StatementRows::next()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        throw StoreError(QString::fromUtf8(sqlite3_errmsg(m_db.handle())), m_statement);
    return false;
}

ExchangeValue StatementRows::value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_NULL:
        return ExchangeValue::null();
    case SQLITE_INTEGER:
        return ExchangeValue::ofInteger(sqlite3_column_int64(m_stmt, column));
    case SQLITE_FLOAT:
        return ExchangeValue::ofNumber(sqlite3_column_double(m_stmt, column));
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return ExchangeValue::ofText(
            std::string_view(text ? text : "", std::size_t(sqlite3_column_bytes(m_stmt, column))));
    }
    }
}
