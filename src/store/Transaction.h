#pragma once

class Database;

// All or nothing for a command that runs several dependent statements: everything since the
// start is undone unless commit() is reached. Nests as a savepoint inside a running transaction.
class Transaction
{
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Database& m_db;
    bool m_nested = false;
    bool m_done = false;
};
