#include "store/StoreFiles.h"

#include "store/StoreError.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

[[noreturn]] void cannotRename(const QString& from, const QString& to, int error)
{
    throw StoreError(QStringLiteral("不能把 %1 改名为 %2: %3").arg(from, to, QString::fromLocal8Bit(strerror(error))),
                     {}, StoreError::Kind::Io);
}

} // namespace

namespace StoreFiles {

void replaceFile(const QString& from, const QString& to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        cannotRename(from, to, errno);
}

bool moveWithoutReplacing(const QString& from, const QString& to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    if (errno != EINVAL && errno != ENOSYS)
        cannotRename(from, to, errno);
    // A file system that cannot refuse to replace in a rename: a second name, then the first goes.
    if (::link(source.constData(), target.constData()) == 0) {
        // The file is in place under its new name; an old name that cannot go is a second name of
        // the same file, removed with the temporaries that ended commands leave.
        ::unlink(source.constData());
        return true;
    }
    if (errno == EEXIST)
        return false;
    // Nor make a second name: only the look before the rename is left.
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink())
        return false;
    replaceFile(from, to);
    return true;
}

void sync(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw StoreError(QStringLiteral("不能打开 %1: %2").arg(path, QString::fromLocal8Bit(strerror(errno))), {},
                         StoreError::Kind::Io);
    // A file system that cannot sync a directory says EINVAL: there is nothing more to write.
    const int error = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    // Closing a descriptor opened for reading loses nothing; what was written is in fsync's answer.
    ::close(fd);
    if (error != 0)
        throw StoreError(QStringLiteral("不能把 %1 写到磁盘上: %2").arg(path, QString::fromLocal8Bit(strerror(error))),
                         {}, error == ENOSPC || error == EDQUOT ? StoreError::Kind::DiskFull : StoreError::Kind::Io);
}

QString temporaryFor(const QString& destination, const QString& ending)
{
    return QFileInfo(destination).absolutePath() +
           QStringLiteral("/.%1%2").arg(QRandomGenerator::global()->generate64(), 16, 16, QChar(u'0')).arg(ending);
}

void copyPermissions(const QString& from, const QString& to)
{
    if (!QFileInfo(from).isFile())
        return;
    QFile file(to);
    if (!file.setPermissions(QFile::permissions(from)))
        throw StoreError(QStringLiteral("不能设置 %1 的权限: %2").arg(to, file.errorString()), {},
                         StoreError::Kind::Io);
}

std::optional<QString> moveOnto(const QString& temporary, const QString& destination)
{
    // An exchange file or a list is written all the same where the file system keeps no
    // permissions (a FAT stick refuses them): its content is what the operator asked for.
    if (QFileInfo(destination).isFile())
        QFile::setPermissions(temporary, QFile::permissions(destination));
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(destination).constData()) == 0)
        return std::nullopt;
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    // The failed rename is what the caller reports; a temporary that cannot be removed either is
    // only clutter beside the destination, which stays as it was.
    QFile::remove(temporary);
    return reason;
}

} // namespace StoreFiles
