#include "gui/UserSettings.h"

#include <QSettings>

std::unique_ptr<QSettings> UserSettings::open()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("workload"),
                                       QStringLiteral("workload"));
}
