#include "store/StoreFiles.h"

#include "store/StoreError.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace StoreFiles {

void replaceFile(const QString& from, const QString& to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw StoreError(
            QStringLiteral("不能把 %1 改名为 %2: %3").arg(from, to, QString::fromLocal8Bit(strerror(errno))), {},
            StoreError::Kind::Storage);
}

QString temporaryFor(const QString& destination, const QString& ending)
{
    return QFileInfo(destination).absolutePath() +
           QStringLiteral("/.%1%2").arg(QRandomGenerator::global()->generate64(), 16, 16, QChar(u'0')).arg(ending);
}

void copyPermissions(const QString& from, const QString& to)
{
    if (QFileInfo(from).isFile())
        QFile::setPermissions(to, QFile::permissions(from));
}

QString moveOnto(const QString& temporary, const QString& destination)
{
    copyPermissions(destination, temporary);
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(destination).constData()) == 0)
        return {};
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    QFile::remove(temporary);
    return reason;
}

} // namespace StoreFiles
