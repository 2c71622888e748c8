#include "exchangeui/ExchangeFolder.h"

#include "gui/UserSettings.h"

#include <QDir>
#include <QSettings>

namespace {

const QString Key = QStringLiteral("Exchange/folder");

} // namespace

QString ExchangeFolder::firstStart()
{
#ifdef Q_OS_WIN
    return QStringLiteral("c:");
#else
    return QDir::homePath();
#endif
}

QString ExchangeFolder::start()
{
    const QString folder = UserSettings::open()->value(Key).toString();
    if (folder.isEmpty() || !QDir(folder).exists())
        return firstStart();
    return QDir::toNativeSeparators(folder);
}

void ExchangeFolder::remember(const QString& directory)
{
    if (!directory.isEmpty())
        UserSettings::open()->setValue(Key, QDir::fromNativeSeparators(directory));
}
