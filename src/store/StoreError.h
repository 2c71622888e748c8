#pragma once

#include <QString>

#include <stdexcept>

// A statement the store refused. `what()` and text() carry the store's own message;
// statement() is the statement as it was given to the store (empty when none was running).
class StoreError : public std::runtime_error
{
public:
    // Why the store refused. A statement or its values is the usual reason; the others are the
    // state of the store itself, which the operator should hear about as they are.
    enum class Kind
    {
        Statement, // the statement or its values (syntax, widths, types, keys, ...)
        Busy,      // another program holds the store's lock beyond the busy wait
        DiskFull,  // no room left to write
        Storage    // the file cannot be read or written (I/O, permissions, damage)
    };

    explicit StoreError(const QString& text, const QString& statement = {}, Kind kind = Kind::Statement)
        : std::runtime_error(text.toStdString()), m_text(text), m_statement(statement), m_kind(kind)
    {}

    const QString& text() const { return m_text; }
    const QString& statement() const { return m_statement; }
    Kind kind() const { return m_kind; }
    // Busy, disk full or storage: not something the values of a statement could mend.
    bool isStoreState() const { return m_kind != Kind::Statement; }
    // For a command that reports a refused statement in its own words: the state of the store is
    // not the operator's input, so it goes on to the general error display.
    void throwIfStoreState() const
    {
        if (isStoreState())
            throw *this;
    }

private:
    QString m_text;
    QString m_statement;
    Kind m_kind;
};
