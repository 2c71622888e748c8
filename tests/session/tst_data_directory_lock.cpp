#include "session/DataDirectoryLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

class TestDataDirectoryLock : public QObject
{
    Q_OBJECT
private slots:
    void oneHolderAtATime()
    {
        QTemporaryDir dir;
        DataDirectoryLock first(dir.path());
        QVERIFY(first.tryLock());
        DataDirectoryLock second(dir.path());
        QVERIFY(!second.tryLock());
        QVERIFY(second.holder().contains(QString::number(QCoreApplication::applicationPid())));
    }

    void releasedWithItsHolder()
    {
        QTemporaryDir dir;
        {
            DataDirectoryLock first(dir.path());
            QVERIFY(first.tryLock());
        }
        DataDirectoryLock second(dir.path());
        QVERIFY(second.tryLock());
    }

    // A program that crashed leaves its lock file; the next one takes it over.
    void aStaleLockIsTakenOver()
    {
        QTemporaryDir dir;
        QFile stale(QDir(dir.path()).filePath(QString::fromLatin1(DataDirectoryLock::FileName)));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        // The lock file's own form: pid, application name, host name. No process has this pid.
        stale.write(QByteArray("4194301\nworkload\n") + QSysInfo::machineHostName().toUtf8() + "\n");
        stale.close();
        DataDirectoryLock next(dir.path());
        QVERIFY(next.tryLock());
    }
};

QTEST_GUILESS_MAIN(TestDataDirectoryLock)
#include "tst_data_directory_lock.moc"
