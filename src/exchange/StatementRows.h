#pragma once

#include "ExchangeRowSource.h"

#include <QString>

class Database;
struct sqlite3_stmt;

// The rows of one internal select, read straight from the store as a writer takes them.
// Refusals come back as StoreError.
class StatementRows : public ExchangeRowSource
{
public:
    StatementRows(Database& db, const QString& statement);
    ~StatementRows() override;
    StatementRows(const StatementRows&) = delete;
    StatementRows& operator=(const StatementRows&) = delete;

    bool next() override;
    ExchangeValue value(int column) const override;

private:
    Database& m_db;
    QString m_statement;
    sqlite3_stmt* m_stmt = nullptr;
};
