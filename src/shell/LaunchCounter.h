#pragma once

#include <QString>

#include <memory>
#include <optional>

class QSettings;

// Counts the program's launches in the settings store: value "Value1" under the key
// "Software/Kestrel Demo/tf". The first launch stores 0, every later one one more than before.
class LaunchCounter
{
public:
    static const QString KeyPath;
    static const QString ValueName;
    static const QString ErrorOpeningKey;        // "Error in opening key"
    static const QString ErrorOpeningCreatedKey; // "Error in Opening Created Key"

    // The store the program uses: an INI file in the user's configuration directory. Linux has no
    // machine-wide store that a normal user may write, so the counter lives in the user scope.
    static std::unique_ptr<QSettings> openUserSettings();

    explicit LaunchCounter(QSettings& settings);

    // Counts this launch. Returns the message to show when the store could not be written
    // (one of the two above), nothing otherwise; the program goes on either way.
    std::optional<QString> countLaunch();

    // The count read at the last countLaunch() as decimal text; "0" when the key was just created
    // or its value was not a whole number.
    const QString& keptCount() const { return m_keptCount; }

private:
    bool keyExists() const;
    QString storedValueName() const;
    std::optional<QString> countExistingKey();
    std::optional<QString> createKey();
    bool writeValue(const QString& name, const QString& text);

    QSettings& m_settings;
    QString m_keptCount;
};
