#pragma once

#include <QString>

#include <stdexcept>

// A file that cannot be read as an exchange table, or cannot be written. The text says why;
// for a damaged file or a failed write the screens show their own message instead. A value that
// the file cannot hold is another matter: the text names it, and that is what the operator sees.
class ExchangeFileError : public std::runtime_error
{
public:
    explicit ExchangeFileError(const QString& text, bool valueRefused = false)
        : std::runtime_error(text.toStdString()), m_text(text), m_valueRefused(valueRefused)
    {}
    // A stored value that the format cannot carry as it is (the text names the row and column).
    static ExchangeFileError refusedValue(const QString& text) { return ExchangeFileError(text, true); }

    const QString& text() const { return m_text; }
    bool isValueRefused() const { return m_valueRefused; }

private:
    QString m_text;
    bool m_valueRefused;
};
