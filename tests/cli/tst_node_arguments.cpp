// The node options of calc and export name what the store holds, exactly: a year of the store
// (and no other year besides), an existing faculty, section, or teacher of that section.
// Anything else is refused with its name before anything changes.
#include "calc/WorkloadCalculator.h"
#include "session/Selection.h"
#include "store/Database.h"
#include "store/Sql.h"
#include "support/CliRun.h"
#include "support/TestStore.h"

#include <QDir>
#include <QTest>

namespace {

const QString Year = QStringLiteral("2026-2027学年");

// Faculty 信息学院 with section 软件教研室 (teacher 张三) and 理学院 with 数学教研室 (teacher
// 王五); one computable row each in 2026-2027学年 and a row of 张三 in 2019-2020学年, a year
// that only the workload rows know (niandu holds 2023-2024 to 2026-2027).
void prepare(Database& db)
{
    db.execute(QStringLiteral("insert into yuanbu (mc) values ('信息学院'), ('理学院')"));
    db.execute(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('01','软件教研室','信息学院'), "
                              "('02','数学教研室','理学院')"));
    db.execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm,q,q11,q12,q2,q31,q32,q33) values "
                              "('001','张三','01',0,0,0,0,0,0,0), ('003','王五','02',7,0,0,0,0,0,7)"));
    db.execute(QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,nd,fl,r32,q32) values "
                              "(1,'张三','信息学院','软件教研室','2026-2027学年','毕业设计',2,0), "
                              "(2,'王五','理学院','数学教研室','2026-2027学年','毕业设计',1,0), "
                              "(3,'张三','信息学院','软件教研室','2019-2020学年','毕业设计',3,0)"));
}

QStringList state(Database& db)
{
    QStringList out;
    for (const QString& table : {QStringLiteral("gzl"), QStringLiteral("rydm")}) {
        const Database::Result r = db.select(QStringLiteral("select * from %1 order by rowid").arg(table));
        for (const QVariantList& row : r.rows) {
            QStringList cells;
            for (const QVariant& v : row)
                cells << v.toString();
            out << cells.join(u'|');
        }
    }
    return out;
}

} // namespace

class TestNodeArguments : public QObject
{
    Q_OBJECT
private slots:
    void nodeNotInTheStoreIsRefused_data()
    {
        QTest::addColumn<QStringList>("node");
        QTest::addColumn<QString>("problem");
        const QString unknownYear = QStringLiteral("is not one of the store's years (2019-2020学年, 2023-2024学年, "
                                                   "2024-2025学年, 2025-2026学年, 2026-2027学年)");
        QTest::newRow("year matching nothing")
            << QStringList{"--year", "1999-2000学年"} << "year \"1999-2000学年\" " + unknownYear;
        QTest::newRow("part of several years") << QStringList{"--year", "2026"} << "year \"2026\" " + unknownYear;
        QTest::newRow("wildcard %") << QStringList{"--year", "%"} << "year \"%\" " + unknownYear;
        QTest::newRow("wildcard _") << QStringList{"--year", "2026-2027学_"} << "year \"2026-2027学_\" " + unknownYear;
        QTest::newRow("year with a quote") << QStringList{"--year", "2026'"} << "year \"2026'\" " + unknownYear;
        // Longer than the store takes as a pattern: refused as what it is, not as a pattern.
        const QString huge = QString(100 * 1024, u'9');
        QTest::newRow("year of 100 KB") << QStringList{"--year", huge} << "year \"" + huge + "\" " + unknownYear;
        QTest::newRow("unknown faculty") << QStringList{"--year", Year, "--faculty", "外语学院"}
                                         << "no faculty named \"外语学院\"";
        QTest::newRow("faculty as a pattern")
            << QStringList{"--year", Year, "--faculty", "%学院"} << "no faculty named \"%学院\"";
        QTest::newRow("unknown section") << QStringList{"--year", Year, "--section", "物理教研室"}
                                         << "no section named \"物理教研室\"";
        QTest::newRow("section named like a faculty")
            << QStringList{"--year", Year, "--section", "信息学院"} << "no section named \"信息学院\"";
        QTest::newRow("unknown teacher") << QStringList{"--year", Year, "--teacher", "赵六", "--section", "软件教研室"}
                                         << "no teacher named \"赵六\" in section \"软件教研室\"";
        QTest::newRow("teacher of another section")
            << QStringList{"--year", Year, "--teacher", "王五", "--section", "软件教研室"}
            << "no teacher named \"王五\" in section \"软件教研室\"";
        QTest::newRow("teacher with a quote")
            << QStringList{"--year", Year, "--teacher", "O'Neil", "--section", "软件教研室"}
            << "no teacher named \"O'Neil\" in section \"软件教研室\"";
    }
    void nodeNotInTheStoreIsRefused()
    {
        QFETCH(QStringList, node);
        QFETCH(QString, problem);
        TestStore store;
        prepare(store.db());
        const QStringList before = state(store.db());
        const QString exported = QDir(store.dir()).filePath(QStringLiteral("bt"));

        const QStringList calc =
            node.contains(QStringLiteral("--faculty")) || node.contains(QStringLiteral("--section"))
                ? node
                : node + QStringList{QStringLiteral("--all")};
        const CliRun c = runCli(QStringList{"--dir", store.dir(), "calc"} + calc);
        QCOMPARE(c.status, 1);
        QCOMPARE(c.err, QStringLiteral("workloadctl calc: ") + problem + u'\n');
        QCOMPARE(c.out, QString());

        const CliRun e = runCli(QStringList{"--dir", store.dir(), "export"} + node +
                                QStringList{"--format", "dbt", "--to", exported});
        QCOMPARE(e.status, 1);
        QCOMPARE(e.err, QStringLiteral("workloadctl export: ") + problem + u'\n');
        QVERIFY(!QFileInfo::exists(exported + QStringLiteral(".dbt")));

        QCOMPARE(state(store.db()), before);
    }

    // The same options naming what the store holds go through, for a year of niandu as well as
    // for one that only the workload rows carry.
    void nodeInTheStoreIsTaken_data()
    {
        QTest::addColumn<QStringList>("node");
        QTest::addColumn<int>("rows"); // exported
        QTest::newRow("year of niandu") << QStringList{"--year", Year} << 2;
        QTest::newRow("year of the workload rows") << QStringList{"--year", "2019-2020学年"} << 1;
        QTest::newRow("faculty") << QStringList{"--year", Year, "--faculty", "理学院"} << 1;
        QTest::newRow("section") << QStringList{"--year", Year, "--section", "软件教研室"} << 1;
        QTest::newRow("teacher") << QStringList{"--year", Year, "--teacher", "张三", "--section", "软件教研室"} << 1;
    }
    void nodeInTheStoreIsTaken()
    {
        QFETCH(QStringList, node);
        QFETCH(int, rows);
        TestStore store;
        prepare(store.db());
        const QString exported = QDir(store.dir()).filePath(QStringLiteral("bt"));
        const CliRun e = runCli(QStringList{"--dir", store.dir(), "export"} + node +
                                QStringList{"--format", "dbt", "--to", exported});
        QCOMPARE(e.err, QString());
        QCOMPARE(e.status, 0);
        QVERIFY2(e.out.startsWith(QStringLiteral("%1 rows written").arg(rows)), qPrintable(e.out));

        const QStringList calc = node.size() == 2 ? node + QStringList{QStringLiteral("--all")} : node;
        const CliRun c = runCli(QStringList{"--dir", store.dir(), "calc"} + calc);
        QCOMPARE(c.err, QString());
        QCOMPARE(c.status, 0);
    }

    // A year that is one of the store's years but also part of another: its filter would add
    // both together.
    void yearReachingAnotherYearIsRefused()
    {
        TestStore store;
        prepare(store.db());
        store.db().execute(QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,nd,fl,r32,q32) values "
                                          "(4,'张三','信息学院','软件教研室','2026-2027学年(重修)','毕业设计',1,0)"));
        const QStringList before = state(store.db());
        const CliRun c = runCli({"--dir", store.dir(), "calc", "--year", Year, "--all"});
        QCOMPARE(c.status, 1);
        QCOMPARE(c.err, QStringLiteral("workloadctl calc: year \"2026-2027学年\" would also select the rows of "
                                       "2026-2027学年(重修)\n"));
        QCOMPARE(state(store.db()), before);
        QCOMPARE(runCli({"--dir", store.dir(), "calc", "--year", "2026-2027学年(重修)", "--all"}).status, 0);
    }

    // The node is checked in the calculation's transaction, yet the check is not one of the
    // calculation's statements: calc's trace holds exactly the statements that the calculation runs.
    void traceLeavesTheCheckOut_data()
    {
        QTest::addColumn<QStringList>("node");
        QTest::newRow("year") << QStringList{"--all"};
        QTest::newRow("faculty") << QStringList{"--faculty", "信息学院"};
        QTest::newRow("section") << QStringList{"--section", "软件教研室"};
        QTest::newRow("teacher") << QStringList{"--teacher", "张三", "--section", "软件教研室"};
    }
    void traceLeavesTheCheckOut()
    {
        QFETCH(QStringList, node);
        TestStore byCommand;
        prepare(byCommand.db());
        const CliRun r = runCli(QStringList{"--dir", byCommand.dir(), "calc", "--year", Year, "--trace"} + node);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QStringList traced = r.outLines();
        QVERIFY(traced.takeLast().startsWith(QStringLiteral("calculated ")));

        TestStore byCalculator;
        prepare(byCalculator.db());
        QStringList expected;
        byCalculator.db().setTracer(
            [&expected](const QString& statement) { expected << QString(statement).replace(u'\n', u' '); });
        WorkloadCalculator calculator(byCalculator.data());
        const QByteArray tag = QTest::currentDataTag();
        if (tag == "year")
            calculator.calculateYear(Year);
        else if (tag == "faculty")
            calculator.calculate(Selection::faculty(Year, node[1]));
        else if (tag == "section")
            calculator.calculate(Selection::section(Year, node[1]));
        else
            calculator.calculate(Selection::teacher(Year, node[1], node[3]));
        QVERIFY(expected.size() > 5);
        QCOMPARE(traced, expected);
    }
};

QTEST_GUILESS_MAIN(TestNodeArguments)
#include "tst_node_arguments.moc"
