#include "session/DataDirectoryLock.h"

#include <QDir>

DataDirectoryLock::DataDirectoryLock(const QString& dataDir)
    : m_file(QDir(dataDir).filePath(QString::fromLatin1(FileName)))
{
    // Never stale by age: only a lock whose program is gone is taken over.
    m_file.setStaleLockTime(0);
}

bool DataDirectoryLock::tryLock()
{
    return m_file.tryLock(0);
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
