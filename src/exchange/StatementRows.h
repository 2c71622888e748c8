#pragma once

#include "exchange/ExchangeRowSource.h"
#include "store/PreparedStatement.h"

#include <QString>

#include <memory>

class Database;

// The rows of one internal select, read straight from the store as a writer takes them.
// Refusals come back as StoreError.
class StatementRows : public ExchangeRowSource
{
public:
    StatementRows(Database& db, const QString& statement);

    bool next() override;
    ExchangeValue value(int column) const override;

private:
    std::unique_ptr<PreparedStatement> m_statement;
};
