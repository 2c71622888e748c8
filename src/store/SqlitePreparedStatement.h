#pragma once

#include "store/PreparedStatement.h"

class SqliteDatabase;
struct sqlite3_stmt;

// A prepared statement of the SQLite store: SQLite takes named parameters (":name") itself.
class SqlitePreparedStatement : public PreparedStatement
{
public:
    SqlitePreparedStatement(SqliteDatabase& db, const QString& statement);
    ~SqlitePreparedStatement() override;
    SqlitePreparedStatement(const SqlitePreparedStatement&) = delete;
    SqlitePreparedStatement& operator=(const SqlitePreparedStatement&) = delete;

    void bindNull(int index) override;
    void bindInteger(int index, qint64 value) override;
    void bindNumber(int index, double value) override;
    void bindText(int index, std::string_view utf8, Text text = Text::Copy) override;
    bool step() override;
    void reset() override;
    int columnCount() const override;
    Type columnType(int column) const override;
    qint64 integer(int column) const override;
    double number(int column) const override;
    std::string_view text(int column) const override;

private:
    [[noreturn]] void fail();
    void check(int rc);

    SqliteDatabase& m_db;
    sqlite3_stmt* m_stmt = nullptr;
};
