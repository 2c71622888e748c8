#pragma once

#include <QString>
#include <QVariant>

#include <string_view>

// One of the program's own statements, compiled once and run many times with values bound to
// its named parameters (":name"), counted from 0 in the order they first appear. Never used for
// a statement a person typed. The store's refusal comes back as a StoreError carrying the
// store's text and the statement. Made by Database::prepare().
class PreparedStatement
{
public:
    virtual ~PreparedStatement() = default;

    // Bound text is copied unless the caller promises it stays where it is until the next reset().
    enum class Text
    {
        Copy,
        Stays
    };
    virtual void bindNull(int index) = 0;
    virtual void bindInteger(int index, qint64 value) = 0;
    virtual void bindNumber(int index, double value) = 0;
    virtual void bindText(int index, std::string_view utf8, Text text = Text::Copy) = 0;
    // Null, whole numbers, doubles and everything else as text.
    void bind(int index, const QVariant& value);

    // Runs to the next row: true while there is one, false when the statement is done.
    virtual bool step() = 0;
    // Ready to run again; the bound values stay.
    virtual void reset() = 0;
    // Ends what the runs have begun: rows appended (Database::prepareAppend) are all in their table
    // when it returns, or it throws the store's refusal.
    virtual void finish() {}

    enum class Type
    {
        Null,
        Integer,
        Number,
        Text,
        Blob
    };
    virtual int columnCount() const = 0;
    virtual Type columnType(int column) const = 0;
    virtual qint64 integer(int column) const = 0;
    virtual double number(int column) const = 0;
    // Valid until the next step() or reset().
    virtual std::string_view text(int column) const = 0;
    QString textAt(int column) const;

    const QString& statement() const { return m_statement; }

protected:
    explicit PreparedStatement(QString statement) : m_statement(std::move(statement)) {}

private:
    QString m_statement;
};
