// Two real workloadctl processes, or a workloadctl process and this one, changing one store at
// the same moment: every writing command checks what it needs under the write lock it writes
// with, so a change committed while it waits for the lock is what it sees.

#include "exchange/WorkloadImport.h"
#include "masterdata/Faculties.h"
#include "masterdata/Sections.h"
#include "support/TestStore.h"

#include "../exchange/ImportFixtures.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <functional>
#include <memory>

using namespace ImportFixtures;

namespace {

// 理学院 with 数学教研室 (S01: 张三, with rows) and 物理教研室 (S02, no teachers).
void fill(TestStore& s)
{
    for (const char* sql :
         {"insert into yuanbu (mc) values ('理学院')",
          "insert into bmdm (bmdm,bmmc,ybmc) values ('S01','数学教研室','理学院'), ('S02','物理教研室','理学院')",
          "insert into rydm (rydm,rymc,bmdm,ryzc,ryxz,rygw) values ('T01','张三','S01','中级','专职','无重点岗位')"})
        s.db().execute(QString::fromUtf8(sql));
    for (int xh = 1; xh <= 30; ++xh)
        s.db().executeBound(QStringLiteral("insert into gzl (xh,jiaoshi,jiaoyanshi,yuanbu,nd,fl,kname,q11) "
                                           "values (?,'张三','数学教研室','理学院',?,'理论实验','高等数学',1.5)"),
                            {xh, Year});
}

std::unique_ptr<QProcess> startCtl(const TestStore& store, const QStringList& args)
{
    auto ctl = std::make_unique<QProcess>();
    ctl->start(QStringLiteral(WORKLOADCTL), store.ctlArguments() + args);
    if (!ctl->waitForStarted())
        qFatal("workloadctl does not start");
    return ctl;
}

struct Finished
{
    int status;
    QString err;
};

Finished finish(QProcess& ctl)
{
    if (!ctl.waitForFinished(60000))
        qFatal("workloadctl does not finish");
    return {ctl.exitCode(), QString::fromUtf8(ctl.readAllStandardError())};
}

// Long enough for a command to start, read the store and come to wait for the write lock that
// this process holds (it waits up to five seconds before it gives up).
constexpr int ReadingTime = 1500;

} // namespace

class TestRaces : public QObject
{
    Q_OBJECT

private slots:
    // The command reads the store as it was, then waits for the lock while `change` happens.
    void commandWaitingForTheLockSeesTheChange_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("after");    // a select whose count must be ...
        QTest::addColumn<QString>("expected"); // ... this

        QTest::newRow("teacher add, its section deleted")
            << QStringList{"teacher", "add", "--section", "S02", "T99", "李四"} << "delete S02" << 1
            << "没有这个教研室代码: S02"
            << "select count(*) from rydm where rydm='T99' or bmdm not in (select bmdm from bmdm)"
            << "0";
        QTest::newRow("section rename, its faculty renamed")
            << QStringList{"section", "edit", "S01", "--name", "数理教研室"} << "rename 理学院" << 0 << ""
            << "select count(*) from gzl where jiaoyanshi='数理教研室' and yuanbu='理科学院'"
            << "30";
        QTest::newRow("teacher edit, its faculty renamed")
            << QStringList{"teacher", "edit", "T01", "--title", "副高级"} << "rename 理学院" << 0 << ""
            << "select count(*) from gzl where zhicheng='副高级' and yuanbu='理科学院'"
            << "30";
        QTest::newRow("calc of a faculty, the faculty renamed")
            << QStringList{"calc", "--year", Year, "--faculty", "理学院"} << "rename 理学院" << 1
            << "no faculty named \"理学院\""
            << "select count(*) from rydm where q11 is not null"
            << "0";
        QTest::newRow("calc of a section, its teachers moved away")
            << QStringList{"calc", "--year", Year, "--section", "数学教研室"} << "move T01" << 1
            << "没有找到要计算的教师"
            << "select count(*) from rydm where q11 is not null"
            << "0";
        QTest::newRow("section delete, a teacher added to it")
            << QStringList{"section", "delete", "S02"} << "add T50 to S02" << 1 << "你要删除的教研室还有教师，不能删除!"
            << "select count(*) from bmdm where bmdm='S02'"
            << "1";
    }

    void commandWaitingForTheLockSeesTheChange()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, change);
        QFETCH(int, status);
        QFETCH(QString, said);
        QFETCH(QString, after);
        QFETCH(QString, expected);

        TestStore s;
        fill(s);
        s.db().begin();
        const auto ctl = startCtl(s, command);
        QThread::msleep(ReadingTime);
        if (change == u"delete S02")
            QVERIFY(Sections(s.data()).remove(QStringLiteral("S02")).ok());
        else if (change == u"rename 理学院")
            QVERIFY(Faculties(s.data()).rename(QStringLiteral("理学院"), QStringLiteral("理科学院")).ok());
        else if (change == u"move T01")
            s.db().execute(QStringLiteral("update rydm set bmdm='S02' where rydm='T01'"));
        else
            s.db().execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm) values ('T50','王五','S02')"));
        s.db().commit();

        const Finished done = finish(*ctl);
        QVERIFY2(done.err.contains(said), qPrintable(done.err));
        QCOMPARE(done.status, status);
        QCOMPARE(s.scalar(after), expected);
    }

    // Two imports started together both make their new codes from the clock at the same moment;
    // each gets codes of its own and keeps all its rows.
    void importsAtOnceKeepTheirRows()
    {
        for (int round = 0; round < 3; ++round) {
            TestStore s;
            QTemporaryDir files;
            std::vector<std::vector<QVariantList>> rows(2);
            for (int i = 0; i < 2; ++i)
                for (int t = 0; t < 200; ++t)
                    rows[size_t(i)].push_back(rowWith(QStringLiteral("教师%1").arg(t),
                                                      QStringLiteral("教研室%1-%2").arg(i).arg(t / 10),
                                                      QStringLiteral("学院%1").arg(i), Year, t + 1));
            const QString a = writeFile(files, rows[0], QStringLiteral("a.dbt"));
            const QString b = writeFile(files, rows[1], QStringLiteral("b.dbt"));
            const auto first = startCtl(s, {QStringLiteral("import"), a});
            const auto second = startCtl(s, {QStringLiteral("import"), b});
            const Finished one = finish(*first);
            const Finished two = finish(*second);
            QVERIFY2(one.status == 0, qPrintable(one.err));
            QVERIFY2(two.status == 0, qPrintable(two.err));
            QCOMPARE(s.count(QStringLiteral("gzl")), 400);
            QCOMPARE(s.count(QStringLiteral("rydm")), 400);
            QCOMPARE(s.count(QStringLiteral("bmdm")), 40);
            QCOMPARE(s.scalar(QStringLiteral("select count(*) from rydm where bmdm not in (select bmdm from bmdm)")),
                     QStringLiteral("0"));
        }
    }
};

QTEST_GUILESS_MAIN(TestRaces)
#include "tst_races.moc"
