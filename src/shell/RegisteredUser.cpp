#include "shell/RegisteredUser.h"

#include <pwd.h>
#include <unistd.h>

RegisteredUser RegisteredUser::current()
{
    const passwd* account = getpwuid(getuid());
    if (!account || !account->pw_gecos)
        return {};
    return {nameFromGecos(QString::fromLocal8Bit(account->pw_gecos)), QString()};
}

QString RegisteredUser::nameFromGecos(const QString& gecos)
{
    return gecos.section(QLatin1Char(','), 0, 0).trimmed();
}
