#pragma once

#include "exchange/ExchangeValue.h"
#include "store/PreparedStatement.h"

#include <QString>

#include <QVariantList>
#include <memory>

#include <unordered_map>
#include <utility>

class Database;

// One internal insert prepared once and run for many rows with bound values: how rows are
// staged in the work tables. Refusals come back as StoreError.
class BoundInsert
{
public:
    BoundInsert(Database& db, const QString& statement);
    // Rows appended to a table (Database::prepareAppend): each run() adds one, finish() ends them.
    BoundInsert(Database& db, const QString& table, const QStringList& columns);

    // Binds every placeholder from the list, in order, and runs the insert.
    void insert(const QVariantList& values);

    // Binds one placeholder (counted from 0) for the next run(). Text is copied unless the caller
    // promises that it stays where it is until run() has returned.
    using Text = PreparedStatement::Text;
    void bind(int index, const ExchangeValue& value, Text text = Text::Copy);
    void run();
    // Every row run is in its table, or the store's refusal is thrown.
    void finish();

private:
    const QByteArray& utf8(const QString& text);

    std::unique_ptr<PreparedStatement> m_statement;
    std::unordered_map<const void*, std::pair<QString, QByteArray>> m_utf8;
};
