#pragma once

#include <QString>

#include <stdexcept>

// A statement the store refused. `what()` and text() carry the store's own message;
// statement() is the statement as it was given to the store (empty when none was running).
class StoreError : public std::runtime_error
{
public:
    explicit StoreError(const QString& text, const QString& statement = {})
        : std::runtime_error(text.toStdString()), m_text(text), m_statement(statement)
    {}

    const QString& text() const { return m_text; }
    const QString& statement() const { return m_statement; }

private:
    QString m_text;
    QString m_statement;
};
