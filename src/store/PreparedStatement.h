#pragma once

#include <QString>
#include <QVariant>

#include <string_view>

class Database;
struct sqlite3_stmt;

// One of the program's own statements, compiled once and run many times with values bound to
// its ? placeholders (counted from 0 here). Never used for a statement a person typed. The
// store's refusal comes back as a StoreError carrying the store's text and the statement.
class PreparedStatement
{
public:
    PreparedStatement(Database& db, const QString& statement);
    ~PreparedStatement();
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;

    // Bound text is copied unless the caller promises it stays where it is until the next reset().
    enum class Text
    {
        Copy,
        Stays
    };
    void bindNull(int index);
    void bindInteger(int index, qint64 value);
    void bindNumber(int index, double value);
    void bindText(int index, std::string_view utf8, Text text = Text::Copy);
    // Null, whole numbers, doubles and everything else as text.
    void bind(int index, const QVariant& value);

    // Runs to the next row: true while there is one, false when the statement is done.
    bool step();
    // Ready to run again; the bound values stay.
    void reset();

    enum class Type
    {
        Null,
        Integer,
        Number,
        Text,
        Blob
    };
    int columnCount() const;
    Type columnType(int column) const;
    qint64 integer(int column) const;
    double number(int column) const;
    // Valid until the next step() or reset().
    std::string_view text(int column) const;

    const QString& statement() const { return m_statement; }

private:
    [[noreturn]] void fail();
    void check(int rc);

    Database& m_db;
    QString m_statement;
    sqlite3_stmt* m_stmt = nullptr;
};
