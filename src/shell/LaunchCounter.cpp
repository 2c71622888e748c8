#include "shell/LaunchCounter.h"

#include <QSettings>

#include <limits>

const QString LaunchCounter::KeyPath = QStringLiteral("Software/Kestrel Demo/tf");
const QString LaunchCounter::ValueName = QStringLiteral("Value1");
const QString LaunchCounter::ErrorOpeningKey = QStringLiteral("Error in opening key");
const QString LaunchCounter::ErrorOpeningCreatedKey = QStringLiteral("Error in Opening Created Key");

namespace {

// A count that is not a decimal whole number counts as 0.
qint64 countFromText(const QString& text)
{
    bool ok = false;
    const qint64 count = text.toLongLong(&ok, 10);
    return ok ? count : 0;
}

// Restart at 0 rather than overflow at the very top.
qint64 nextCount(qint64 count)
{
    return count == std::numeric_limits<qint64>::max() ? 0 : count + 1;
}

} // namespace

std::unique_ptr<QSettings> LaunchCounter::openUserSettings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("workload"),
                                       QStringLiteral("registry"));
}

LaunchCounter::LaunchCounter(QSettings& settings) : m_settings(settings) {}

std::optional<QString> LaunchCounter::countLaunch()
{
    return keyExists() ? countExistingKey() : createKey();
}

bool LaunchCounter::keyExists() const
{
    // A key exists once it holds a value or a subkey; an empty group leaves no trace in the file.
    const QString parent = KeyPath.section(QLatin1Char('/'), 0, -2);
    const QString leaf = KeyPath.section(QLatin1Char('/'), -1);
    m_settings.beginGroup(parent);
    const bool exists = m_settings.childGroups().contains(leaf);
    m_settings.endGroup();
    return exists || m_settings.contains(KeyPath + QLatin1Char('/') + ValueName);
}

// Value names match without regard to case; an existing "value1" is read and rewritten under its own name.
QString LaunchCounter::storedValueName() const
{
    m_settings.beginGroup(KeyPath);
    const QStringList names = m_settings.childKeys();
    m_settings.endGroup();
    for (const QString& name : names) {
        if (name.compare(ValueName, Qt::CaseInsensitive) == 0)
            return name;
    }
    return ValueName;
}

std::optional<QString> LaunchCounter::countExistingKey()
{
    const QString name = storedValueName();
    const qint64 count = countFromText(m_settings.value(KeyPath + QLatin1Char('/') + name).toString());
    m_keptCount = QString::number(count);
    if (writeValue(name, QString::number(nextCount(count))))
        return std::nullopt;
    return ErrorOpeningKey;
}

std::optional<QString> LaunchCounter::createKey()
{
    m_keptCount = QStringLiteral("0");
    if (writeValue(ValueName, m_keptCount))
        return std::nullopt;
    return ErrorOpeningCreatedKey;
}

bool LaunchCounter::writeValue(const QString& name, const QString& text)
{
    if (!m_settings.isWritable())
        return false;
    m_settings.setValue(KeyPath + QLatin1Char('/') + name, text);
    m_settings.sync();
    return m_settings.status() == QSettings::NoError;
}
