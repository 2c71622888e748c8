#include "exchange/StatementRows.h"

#include "store/Database.h"

StatementRows::StatementRows(Database& db, const QString& statement) : m_statement(db.prepare(statement)) {}

bool StatementRows::next()
{
    return m_statement->step();
}

ExchangeValue StatementRows::value(int column) const
{
    switch (m_statement->columnType(column)) {
    case PreparedStatement::Type::Null:
        return ExchangeValue::null();
    case PreparedStatement::Type::Integer:
        return ExchangeValue::ofInteger(m_statement->integer(column));
    case PreparedStatement::Type::Number:
        return ExchangeValue::ofNumber(m_statement->number(column));
    default:
        return ExchangeValue::ofText(m_statement->text(column));
    }
}
