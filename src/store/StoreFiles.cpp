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
        return;
    ::fsync(fd);
    ::close(fd);
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

std::optional<QString> moveOnto(const QString& temporary, const QString& destination)
{
    copyPermissions(destination, temporary);
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(destination).constData()) == 0)
        return std::nullopt;
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    QFile::remove(temporary);
    return reason;
}

} // namespace StoreFiles
