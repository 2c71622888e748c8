#include "session/DataDirectoryLock.h"

#include <QCoreApplication>
#include <QDateTime>
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
        QCOMPARE(second.holderNote(), QStringLiteral("（%1）").arg(second.holder()));
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

    // A power cut between making the lock file and writing it leaves it empty: no program can
    // hold it, unless it is one starting this very moment.
    void aBlankLockIsTakenOverOnceItIsOld_data()
    {
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<bool>("taken");
        QTest::newRow("left by a power cut") << 3600 << true;
        QTest::newRow("just made") << 0 << false;
    }
    void aBlankLockIsTakenOverOnceItIsOld()
    {
        QFETCH(int, ageSeconds);
        QFETCH(bool, taken);
        QTemporaryDir dir;
        QFile blank(QDir(dir.path()).filePath(QString::fromLatin1(DataDirectoryLock::FileName)));
        QVERIFY(blank.open(QIODevice::WriteOnly));
        QVERIFY(
            blank.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
        blank.close();
        DataDirectoryLock next(dir.path());
        QCOMPARE(next.tryLock(), taken);
        if (!taken)
            QCOMPARE(next.holderNote(), QString()); // no holder to name
    }
};

QTEST_GUILESS_MAIN(TestDataDirectoryLock)
#include "tst_data_directory_lock.moc"
