#include "store/SideFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace SideFile {

QString temporaryFor(const QString& destination, const QString& ending)
{
    return QFileInfo(destination).absolutePath() +
           QStringLiteral("/.%1%2").arg(QRandomGenerator::global()->generate64(), 16, 16, QChar(u'0')).arg(ending);
}

QString moveOnto(const QString& temporary, const QString& destination)
{
    // A file replaced keeps its permissions, as it would if it had been written over.
    if (QFileInfo(destination).isFile())
        QFile::setPermissions(temporary, QFile::permissions(destination));
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(destination).constData()) == 0)
        return {};
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    QFile::remove(temporary);
    return reason;
}

} // namespace SideFile
