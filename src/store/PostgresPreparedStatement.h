#pragma once

#include "store/PreparedStatement.h"

#include <QByteArray>
#include <QList>

class PostgresDatabase;
struct pg_result;

// A prepared statement of a server store: prepared once on the connection, its rows fetched
// whole when it runs and then stepped through.
class PostgresPreparedStatement : public PreparedStatement
{
public:
    PostgresPreparedStatement(PostgresDatabase& db, const QString& statement, const QString& sql, const QString& name);
    ~PostgresPreparedStatement() override;
    PostgresPreparedStatement(const PostgresPreparedStatement&) = delete;
    PostgresPreparedStatement& operator=(const PostgresPreparedStatement&) = delete;

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
    void bindValue(int index, QByteArray value);
    void clearResult();

    PostgresDatabase& m_db;
    QByteArray m_name;
    QByteArray m_sql;
    QList<QByteArray> m_values;
    pg_result* m_result = nullptr;
    int m_row = -1;
    bool m_ran = false;
};
