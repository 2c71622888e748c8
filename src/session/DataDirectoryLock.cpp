#include "session/DataDirectoryLock.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

// A program writes its details right after making the file; a blank file younger than this
// may belong to one that is starting now.
constexpr qint64 BlankGraceMs = 2000;

} // namespace

DataDirectoryLock::DataDirectoryLock(const QString& dataDir)
    : m_path(QDir(dataDir).filePath(QString::fromLatin1(FileName))), m_file(m_path)
{
    // Never stale by age: only a lock whose program is gone is taken over.
    m_file.setStaleLockTime(0);
}

bool DataDirectoryLock::tryLock()
{
    if (m_file.tryLock(0))
        return true;
    if (m_file.error() != QLockFile::LockFailedError || !isBlank())
        return false;
    return m_file.removeStaleLockFile() && m_file.tryLock(0);
}

bool DataDirectoryLock::isBlank() const
{
    const QFileInfo info(m_path);
    return info.isFile() && info.size() == 0 &&
           info.lastModified().msecsTo(QDateTime::currentDateTime()) > BlankGraceMs;
}

QString DataDirectoryLock::holder() const
{
    qint64 pid = 0;
    QString host;
    QString application;
    if (!m_file.getLockInfo(&pid, &host, &application))
        return {};
    return QStringLiteral("pid %1 @ %2").arg(pid).arg(host);
}

QString DataDirectoryLock::holderNote() const
{
    const QString who = holder();
    return who.isEmpty() ? QString() : QStringLiteral("（%1）").arg(who);
}
