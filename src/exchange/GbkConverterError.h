#pragma once

#include <QString>

#include <stdexcept>

// The system's GBK converter could not be opened: no file can be read, whatever it holds, so
// this is not a verdict on the file. The text says so, with the system's reason.
class GbkConverterError : public std::runtime_error
{
public:
    explicit GbkConverterError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString& text() const { return m_text; }

private:
    QString m_text;
};
