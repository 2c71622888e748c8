#pragma once

#include <QString>
#include <QVariant>

// One column of a holder's current row. A null reads as empty text, 0, 0.0 or false.
class Field
{
public:
    Field(QString name, QVariant value) : m_name(std::move(name)), m_value(std::move(value)) {}

    const QString& name() const { return m_name; }
    const QVariant& value() const { return m_value; }
    bool isNull() const { return !m_value.isValid() || m_value.isNull(); }

    // Numbers in their shortest general form ("12", "2.5").
    QString asString() const;
    // Numbers and numeric text converted to the nearest 32-bit integer; other text reads as 0.
    int asInteger() const;
    double asFloat() const;
    bool asBoolean() const;

private:
    QString m_name;
    QVariant m_value;
};
