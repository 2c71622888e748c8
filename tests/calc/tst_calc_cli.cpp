#include "CalcFixture.h"
#include "support/CliRun.h"

#include <QTemporaryDir>
#include <QTest>

using namespace CalcFixture;

namespace {

struct Run
{
    int status;
    QStringList out; // lines
    QString err;
};

Run calc(const QStringList& store, const QStringList& args)
{
    const CliRun r = runCli(store + QStringList{QStringLiteral("calc")} + args);
    return {r.status, r.outLines(), r.err};
}

Run calc(const TestStore& store, const QStringList& args)
{
    return calc(store.ctlArguments(), args);
}

void prepare(TestStore& store)
{
    Database& db = store.db();
    addPeople(db);
    addRow(db, 1, QStringLiteral("fl,shuoming,yan,r1,t1,t2,r2,fzs,bg"),
           QStringLiteral("'理论实验','专业课','本科生',95,48,16,95,4,0"));
    // A second faculty with one teacher and one supervision row.
    db.execute(QStringLiteral("insert into yuanbu (mc) values ('理学院')"));
    db.execute(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('02','数学教研室','理学院')"));
    db.execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm) values ('003','王五','02')"));
    db.execute(QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,nd,fl,r33,q33) values "
                              "(2,'王五','理学院','数学教研室','2026-2027学年','指导硕士',2,0)"));
}

} // namespace

class TestCalcCli : public QObject
{
    Q_OBJECT
private slots:

    // The node options give exactly the tree's filters; the trace shows them in the statements.
    void nodeFiltersInTheTrace_data()
    {
        QTest::addColumn<QStringList>("node");
        QTest::addColumn<QString>("yearFilter");
        QTest::addColumn<QString>("nodeFilter");
        QTest::addColumn<int>("teachers");
        QTest::newRow("faculty") << QStringList{"--faculty", "信息学院"}
                                 << "nd like '%2026-2027学年%' and yuanbu='信息学院'"
                                 << " bmdm.ybmc='信息学院'" << 2;
        QTest::newRow("section") << QStringList{"--section", "软件教研室"}
                                 << "nd like '%2026-2027学年%' and jiaoyanshi='软件教研室'"
                                 << " bmdm.bmmc='软件教研室'" << 2;
        QTest::newRow("teacher") << QStringList{"--teacher", "张三", "--section", "软件教研室"}
                                 << "nd like '%2026-2027学年%' and jiaoshi='张三' and jiaoyanshi='软件教研室'"
                                 << " bmdm.bmmc='软件教研室' and rymc='张三'" << 1;
    }
    void nodeFiltersInTheTrace()
    {
        QFETCH(QStringList, node);
        QFETCH(QString, yearFilter);
        QFETCH(QString, nodeFilter);
        QFETCH(int, teachers);
        TestStore store;
        prepare(store);

        const Run r = calc(store, QStringList{"--year", Year, "--trace"} + node);
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());
        QVERIFY(r.out.contains(QStringLiteral("select * from gzl where ") + yearFilter +
                               QStringLiteral(" and fl='理论实验' and yan<>'研究生' and shuoming='专业课'")));
        QVERIFY(r.out.contains(QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and ") + nodeFilter +
                               QStringLiteral(" order by rydm")));
        // Statements of several lines come out on one line each.
        QVERIFY(r.out.contains(QStringLiteral("update rydm set q11=85.14, q12=15.33, q2=70, q31=0, q32=0, q33=0 "
                                              "where rydm='001'")));
        QVERIFY2(r.out.last().startsWith(QStringLiteral("calculated 1 node: %1 teachers updated, ").arg(teachers)),
                 qPrintable(r.out.last()));
        QCOMPARE(store.scalar(QStringLiteral("select q from rydm where rydm='001'")), QStringLiteral("170.47"));
        // Other faculties' rows stay as they were.
        QCOMPARE(store.scalar(QStringLiteral("select q33 from gzl where xh=2")), QStringLiteral("0"));
    }

    void allDoesEveryFaculty()
    {
        TestStore store;
        prepare(store);
        const Run r = calc(store, {"--year", Year, "--all"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out.size(), 1);
        QVERIFY2(r.out.first().startsWith(QStringLiteral("calculated 2 nodes: 3 teachers updated, ")),
                 qPrintable(r.out.first()));
        QCOMPARE(store.scalar(QStringLiteral("select q from rydm where rydm='001'")), QStringLiteral("170.47"));
        QCOMPARE(store.scalar(QStringLiteral("select q from rydm where rydm='003'")), QStringLiteral("40"));
    }

    void refusedRunExitsWithTextAndStatement()
    {
        TestStore store;
        prepare(store);
        addParameter(store.db(), 8, 99, QStringLiteral("kk12"), QStringLiteral("1"), QString());
        const QString before = store.scalar(QStringLiteral("select sum(k11) from gzl"));
        const Run r = calc(store, {"--year", Year, "--faculty", Faculty});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("select * from gzl where nd like '%2026-2027学年%' and "
                                               "yuanbu='信息学院' and \n")),
                 qPrintable(r.err));
        // The store's own reason comes first, in its own words.
        const QString reason = TestStore::server().isEmpty() ? QStringLiteral("incomplete input")
                                                             : QStringLiteral("syntax error at end of input");
        QVERIFY2(r.err.section(u'\n', 0, 0).contains(reason), qPrintable(r.err));
        QCOMPARE(store.scalar(QStringLiteral("select sum(k11) from gzl")), before);
        QCOMPARE(store.scalar(QStringLiteral("select q from rydm where rydm='001'")), QStringLiteral("0"));
    }

    // A demo store opens with its totals computed for the settings record's year.
    void demoStartsWithTotals()
    {
        QTemporaryDir dir;
        const CliRun init =
            runCli({QStringLiteral("--dir"), dir.path(), QStringLiteral("init"), QStringLiteral("--demo")});
        QCOMPARE(init.status, 0);
        const QString& out = init.out;
        QVERIFY2(out.contains(QStringLiteral("calculated the totals of 2026-2027学年")), qPrintable(out));
        const auto totals = [&] {
            auto db = Database::open(dir.path());
            return snapshot(*db, QStringLiteral("rydm"), QStringLiteral("rydm"));
        };
        const QStringList first = totals();
        auto db = Database::open(dir.path());
        const Database::Result withRows = db->select(QStringLiteral(
            "select count(*), sum(q>0) from rydm where exists (select 1 from gzl, bmdm where rydm.bmdm=bmdm.bmdm and "
            "jiaoshi=rymc and jiaoyanshi=bmmc and yuanbu=ybmc and nd='2026-2027学年')"));
        QVERIFY(withRows.rows.front().value(0).toInt() > 30);
        QCOMPARE(withRows.rows.front().value(1).toInt(), withRows.rows.front().value(0).toInt());
        db.reset();
        // Recalculating gives the same totals.
        QCOMPARE(calc(QStringList{QStringLiteral("--dir"), dir.path()}, {"--year", "2026-2027学年", "--all"}).status,
                 0);
        QCOMPARE(totals(), first);
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no year") << QStringList{"--faculty", "信息学院"};
        QTest::newRow("no node") << QStringList{"--year", "2026-2027学年"};
        QTest::newRow("two nodes") << QStringList{"--year", "2026-2027学年", "--faculty", "信息学院", "--all"};
        QTest::newRow("teacher alone") << QStringList{"--year", "2026-2027学年", "--teacher", "张三"};
        QTest::newRow("missing value") << QStringList{"--year", "2026-2027学年", "--faculty"};
        QTest::newRow("unknown") << QStringList{"--year", "2026-2027学年", "--all", "--fast"};
    }
    void usageErrors()
    {
        QFETCH(QStringList, args);
        TestStore store;
        const Run r = calc(store, args);
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains(QStringLiteral("usage: workloadctl [--dir DIR | --server CONNINFO] calc --year Y")));
        QCOMPARE(r.out, QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCalcCli)
#include "tst_calc_cli.moc"
