#include "shell/MemoryStatus.h"
#include "shell/RegisteredUser.h"

#include <QTest>

class TestMachineFacts : public QObject
{
    Q_OBJECT
private slots:
    void meminfo_data()
    {
        QTest::addColumn<QByteArray>("meminfo");
        QTest::addColumn<quint64>("total");
        QTest::addColumn<int>("load");
        QTest::newRow("available given") << QByteArray("MemTotal:        1000000 kB\n"
                                                       "MemFree:          100000 kB\n"
                                                       "MemAvailable:     370000 kB\n"
                                                       "Buffers:           10000 kB\n")
                                         << quint64(1000000) * 1024 << 63;
        QTest::newRow("old kernel: free plus cache") << QByteArray("MemTotal: 2000 kB\nMemFree: 500 kB\n"
                                                                   "Buffers: 100 kB\nCached: 400 kB\n")
                                                     << quint64(2000) * 1024 << 50;
        QTest::newRow("nothing readable") << QByteArray() << quint64(0) << 0;
        QTest::newRow("garbage lines skipped")
            << QByteArray("junk\nMemTotal: x kB\n:\nMemTotal:  4 kB\nMemAvailable: 4 kB") << quint64(4096) << 0;
    }
    void meminfo()
    {
        QFETCH(QByteArray, meminfo);
        QFETCH(quint64, total);
        QFETCH(int, load);
        const MemoryStatus status = MemoryStatus::fromMeminfo(meminfo);
        QCOMPARE(status.totalPhysicalBytes, total);
        QCOMPARE(status.memoryLoadPercent, load);
    }

    void loadIsTheNearestWholePercent_data()
    {
        QTest::addColumn<quint64>("total");
        QTest::addColumn<quint64>("available");
        QTest::addColumn<int>("load");
        QTest::newRow("62.5 rounds up") << quint64(1000) << quint64(375) << 63;
        QTest::newRow("62.4 rounds down") << quint64(1000) << quint64(376) << 62;
        QTest::newRow("all in use") << quint64(1000) << quint64(0) << 100;
        QTest::newRow("more available than total") << quint64(1000) << quint64(2000) << 0;
        QTest::newRow("no total") << quint64(0) << quint64(0) << 0;
        QTest::newRow("1 TiB, a quarter used") << (quint64(1) << 40) << (quint64(3) << 38) << 25;
    }
    void loadIsTheNearestWholePercent()
    {
        QFETCH(quint64, total);
        QFETCH(quint64, available);
        QFETCH(int, load);
        QCOMPARE(MemoryStatus::loadPercent(total, available), load);
    }

    void thisMachine()
    {
        const MemoryStatus status = MemoryStatus::current();
        QVERIFY(status.totalPhysicalBytes > 0);
        QVERIFY(status.memoryLoadPercent >= 0 && status.memoryLoadPercent <= 100);
    }

    void fullNameFromGecos_data()
    {
        QTest::addColumn<QString>("gecos");
        QTest::addColumn<QString>("name");
        QTest::newRow("full record") << "Zhang San,Room 101,555-1234,555-4321,other"
                                     << "Zhang San";
        QTest::newRow("name only") << "李四"
                                   << "李四";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("only commas") << ",,,"
                                     << "";
    }
    void fullNameFromGecos()
    {
        QFETCH(QString, gecos);
        QFETCH(QString, name);
        QCOMPARE(RegisteredUser::nameFromGecos(gecos), name);
    }

    void registeredCompanyIsEmpty() { QCOMPARE(RegisteredUser::current().company, QString()); }
};

QTEST_GUILESS_MAIN(TestMachineFacts)
#include "tst_machine_facts.moc"
