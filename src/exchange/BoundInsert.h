#pragma once

#include <QString>
#include <QVariantList>

class Database;
struct sqlite3_stmt;

// One internal insert prepared once and run for many rows with bound values: how a file's rows
// are staged in the work tables. Refusals come back as StoreError.
class BoundInsert
{
public:
    BoundInsert(Database& db, const QString& statement);
    ~BoundInsert();
    BoundInsert(const BoundInsert&) = delete;
    BoundInsert& operator=(const BoundInsert&) = delete;

    void insert(const QVariantList& values);

private:
    [[noreturn]] void fail();

    Database& m_db;
    QString m_statement;
    sqlite3_stmt* m_stmt = nullptr;
};
