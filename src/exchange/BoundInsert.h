#pragma once

#include "ExchangeValue.h"

#include <QString>
#include <QVariantList>

#include <unordered_map>
#include <utility>

class Database;
struct sqlite3_stmt;

// One internal insert prepared once and run for many rows with bound values: how rows are
// staged in the work tables. Refusals come back as StoreError.
class BoundInsert
{
public:
    BoundInsert(Database& db, const QString& statement);
    ~BoundInsert();
    BoundInsert(const BoundInsert&) = delete;
    BoundInsert& operator=(const BoundInsert&) = delete;

    // Binds every placeholder from the list, in order, and runs the insert.
    void insert(const QVariantList& values);

    // Binds one placeholder (counted from 0) for the next run(). Text is copied unless the caller
    // promises that it stays where it is until run() has returned.
    enum class Text
    {
        Copy,
        Stays
    };
    void bind(int index, const ExchangeValue& value, Text text = Text::Copy);
    void run();

private:
    [[noreturn]] void fail();
    void check(int rc);
    const QByteArray& utf8(const QString& text);

    Database& m_db;
    QString m_statement;
    sqlite3_stmt* m_stmt = nullptr;
    std::unordered_map<const void*, std::pair<QString, QByteArray>> m_utf8;
};
