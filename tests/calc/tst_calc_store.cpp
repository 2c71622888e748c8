// What the engine relies on from the store: cheap existence checks through a holder, a trace
// that shows the program's statements only, and planner statistics that follow the table's size.
#include "CalcFixture.h"
#include "store/SqliteDatabase.h"
#include "store/SqlitePlannerStatistics.h"

#include <QTest>

using namespace CalcFixture;

class TestCalcStore : public QObject
{
    Q_OBJECT
private slots:
    void hasRowsAnswersWhetherASelectYieldsRows_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("expected");
        QTest::newRow("rows") << QStringLiteral("select * from gzl where fl='理论实验'") << true;
        QTest::newRow("no row") << QStringLiteral("select * from gzl where fl='毕业设计'") << false;
        QTest::newRow("empty table") << QStringLiteral("select * from yuanbu where mc='无'") << false;
        QTest::newRow("aggregate always yields") << QStringLiteral("select max(xh) from gzl where xh>99") << true;
        QTest::newRow("shared column join")
            << QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and  bmdm.ybmc='信息学院' "
                              "order by rydm")
            << true;
    }
    void hasRowsAnswersWhetherASelectYieldsRows()
    {
        QFETCH(QString, statement);
        QFETCH(bool, expected);
        TestStore store;
        addPeople(store.db());
        addRow(store.db(), 1, QStringLiteral("fl"), QStringLiteral("'理论实验'"));
        addRow(store.db(), 2, QStringLiteral("fl"), QStringLiteral("'理论实验'"));
        // A change just before must not be mistaken for rows of the select.
        store.db().execute(QStringLiteral("update gzl set r1=1"));

        QStringList trace;
        store.db().setTracer([&](const QString& s) { trace << s; });
        Query& q = *store.data().Query1;
        q.setStatement({statement});
        QCOMPARE(q.hasRows(), expected);
        QVERIFY(!q.isActive());
        QCOMPARE(q.text(), statement);
        // The store's own column lookup of the join is not one of the program's statements.
        QCOMPARE(trace, QStringList{statement});
    }

    void hasRowsReportsRefusal()
    {
        TestStore store;
        Query& q = *store.data().Query1;
        q.setStatement({QStringLiteral("select * from gzl where")});
        try {
            q.hasRows();
            QFAIL("a malformed statement was accepted");
        } catch (const StoreError& e) {
            QCOMPARE(e.statement(), QStringLiteral("select * from gzl where"));
            QVERIFY(!e.text().isEmpty());
        }
    }

    void statisticsFollowTheTableSize_data()
    {
        QTest::addColumn<int>("analysedAt"); // rows when statistics were taken; 0: never
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("refreshed");
        QTest::newRow("none, small table") << 0 << 50 << false;
        QTest::newRow("none, large enough") << 0 << 150 << true;
        QTest::newRow("current") << 150 << 250 << false;
        QTest::newRow("grown past double") << 150 << 301 << true;
        QTest::newRow("shrunk below half") << 400 << 150 << true;
    }
    void statisticsFollowTheTableSize()
    {
        QFETCH(int, analysedAt);
        QFETCH(int, rows);
        QFETCH(bool, refreshed);
        TestStore store;
        Database& db = store.db();
        const auto fill = [&](int n) {
            db.execute(QStringLiteral("delete from gzl"));
            db.execute(QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,fl,nd) with recursive "
                                      "n(i) as (select 1 union all select i+1 from n where i<%1) "
                                      "select i,'张三','信息学院','软件教研室','理论实验','2026-2027学年' from n")
                           .arg(n));
        };
        if (analysedAt) {
            fill(analysedAt);
            SqliteDatabase::of(db).executeInternal(QStringLiteral("ANALYZE main.gzl"));
        }
        fill(rows);
        QCOMPARE(SqlitePlannerStatistics::refresh(SqliteDatabase::of(db), QStringLiteral("gzl")), refreshed);
        const bool haveStatistics = store.count(QStringLiteral("sqlite_master"), QStringLiteral("name='sqlite_stat1'"));
        const QString recorded =
            haveStatistics
                ? store.scalar(QStringLiteral("select cast(stat as integer) from sqlite_stat1 where idx='gzl_faculty'"))
                : QString();
        QCOMPARE(recorded, refreshed ? QString::number(rows) : analysedAt ? QString::number(analysedAt) : QString());
    }

    // A statement that runs past the step limit is stopped with a refusal saying so and carrying
    // the statement; each statement has the whole budget; 0 lifts the limit.
    void stepLimitStopsLongStatements_data()
    {
        QTest::addColumn<quint64>("limit");
        QTest::addColumn<QStringList>("counts"); // rows counted by each statement, run in turn
        QTest::addColumn<int>("stopped");        // index of the statement stopped, -1: none
        QTest::newRow("within the limit") << quint64(1'000'000) << QStringList{"1000"} << -1;
        QTest::newRow("beyond the limit") << quint64(100'000) << QStringList{"1000000"} << 0;
        QTest::newRow("each statement has its budget")
            << quint64(1'000'000) << QStringList{"30000", "30000", "30000"} << -1;
        QTest::newRow("a later statement beyond it") << quint64(1'000'000) << QStringList{"1000", "10000000"} << 1;
        QTest::newRow("no limit") << quint64(0) << QStringList{"1000000"} << -1;
    }
    void stepLimitStopsLongStatements()
    {
        QFETCH(quint64, limit);
        QFETCH(QStringList, counts);
        QFETCH(int, stopped);
        TestStore store;
        Database& db = store.db();
        SqliteDatabase::of(db).setStepLimit(limit);
        int reached = -1;
        for (int i = 0; i < counts.size(); ++i) {
            const QString statement = QStringLiteral("with recursive n(i) as (select 1 union all select i+1 from n "
                                                     "where i<%1) select count(*) from n")
                                          .arg(counts[i]);
            try {
                QCOMPARE(db.select(statement).rows.front().value(0).toString(), counts[i]);
            } catch (const StoreError& e) {
                reached = i;
                QVERIFY2(e.text().contains(QStringLiteral("语句运行过久")), qPrintable(e.text()));
                QCOMPARE(e.statement(), statement);
                break;
            }
        }
        QCOMPARE(reached, stopped);
        SqliteDatabase::of(db).setStepLimit(0);
        QCOMPARE(store.scalar(QStringLiteral("with recursive n(i) as (select 1 union all select i+1 from n "
                                             "where i<1000000) select count(*) from n")),
                 QStringLiteral("1000000"));
    }
};

QTEST_GUILESS_MAIN(TestCalcStore)
#include "tst_calc_store.moc"
