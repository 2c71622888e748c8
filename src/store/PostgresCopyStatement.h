#pragma once

#include "store/PreparedStatement.h"

#include <QByteArray>
#include <QList>

class PostgresDatabase;

// Rows appended to one table of a server store in a single stream (COPY ... FROM STDIN) instead of
// a round trip each: every step() adds the bound values as a row, finish() ends the stream and
// reports the server's refusal of any row. Until finish() the connection runs nothing else. Made by
// PostgresDatabase::prepareAppend().
class PostgresCopyStatement : public PreparedStatement
{
public:
    // `statement` is the insert that the rows stand for (what a trace shows and a refusal names).
    PostgresCopyStatement(PostgresDatabase& db, const QString& statement, const QString& table,
                          const QStringList& columns);
    ~PostgresCopyStatement() override;
    PostgresCopyStatement(const PostgresCopyStatement&) = delete;
    PostgresCopyStatement& operator=(const PostgresCopyStatement&) = delete;

    void bindNull(int index) override;
    void bindInteger(int index, qint64 value) override;
    void bindNumber(int index, double value) override;
    void bindText(int index, std::string_view utf8, Text text = Text::Copy) override;
    // Appends the row; never a row to read.
    bool step() override;
    void reset() override {}
    void finish() override;

    int columnCount() const override { return 0; }
    Type columnType(int) const override { return Type::Null; }
    qint64 integer(int) const override { return 0; }
    double number(int) const override { return 0; }
    std::string_view text(int) const override { return {}; }

private:
    void start();
    void put(const QByteArray& bytes);

    PostgresDatabase& m_db;
    QByteArray m_copy;
    QList<QByteArray> m_values; // each in the stream's text form; "\N" for null
    QByteArray m_line;
    bool m_streaming = false;
};
