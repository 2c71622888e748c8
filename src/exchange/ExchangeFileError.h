#pragma once

#include <QString>

#include <stdexcept>

// A file that cannot be read as an exchange table, or cannot be written. The text says why;
// the screens show their own message instead.
class ExchangeFileError : public std::runtime_error
{
public:
    explicit ExchangeFileError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString& text() const { return m_text; }

private:
    QString m_text;
};
