// The staged calculation (a node's rows in a table of their own while its statements run) against
// the same statements run on the store's table: the same tables to the last bit, the same trace;
// and results that are no finite number refused on both ways.

#include "CalcFixture.h"
#include "masterdata/Parameters.h"
#include "store/DataModule.h"
#include "store/DemoData.h"
#include "store/StoreError.h"
#include "store/Transaction.h"

#include <QTest>

using namespace CalcFixture;

namespace {

// Every value of the tables a calculation writes, exactly: the type and, for numbers, all 17
// significant digits.
QStringList exactly(Database& db)
{
    QStringList out;
    for (const char* sql : {"select rowid,* from gzl order by rowid", "select rowid,* from rydm order by rowid"}) {
        const Database::Result r = db.select(QString::fromLatin1(sql));
        for (const QVariantList& row : r.rows) {
            QStringList cells;
            for (const QVariant& v : row) {
                if (!v.isValid() || v.isNull())
                    cells << QStringLiteral("null");
                else if (v.typeId() == QMetaType::Double)
                    cells << u'r' + QString::number(v.toDouble(), 'g', 17);
                else
                    cells << QString::fromLatin1(v.typeName()) + u':' + v.toString();
            }
            out << cells.join(u'|');
        }
    }
    return out;
}

const QString Synthetic = QStringLiteral("synthetic");

// The university of a case: the demo, a generated one, or either with its parameters changed.
void fill(TestStore& store, const QString& university, const QString& parameters)
{
    Database& db = store.db();
    Transaction tx(db);
    DemoData::generate(db, university == Synthetic ? DemoData::synthetic(3, 3, 4, 12, 2) : DemoData::demo());
    tx.commit();
    if (parameters == u"k12, S3 and k31 changed") {
        Parameters p(store.data());
        p.openLists();
        QVERIFY(p.setK12(QStringLiteral("0.11"), QStringLiteral("专业课"), QStringLiteral("本专生")).ok());
        QVERIFY(p.setS3(QStringLiteral("25"), QStringLiteral("课程设计")).ok());
        QVERIFY(p.setK31(QStringLiteral("0.7")).ok());
    } else if (parameters == u"a condition reaching other rows") {
        // Its second alternative is not limited by the node's filter: such a run uses the store's table.
        addParameter(db, 8, 2, QStringLiteral("kk12"), QStringLiteral("0.5"),
                     QStringLiteral("fl='理论实验' and r1>100 or fl='实习设计' and w>3"));
    } else if (parameters == u"a value reading other rows") {
        addParameter(db, 8, 2, QStringLiteral("kk12"),
                     QStringLiteral("(select count(*) from gzl g where g.jiaoshi=gzl.jiaoshi)"),
                     QStringLiteral("fl='理论实验'"));
    }
}

struct Run
{
    QStringList tables;
    QStringList trace;
    int teachers = 0;
    int rowUpdates = 0;
};

Run calculateTwice(const QString& university, const QString& parameters, const QString& node, bool staging)
{
    TestStore store;
    fill(store, university, parameters);
    Run run;
    store.db().setTracer([&](const QString& statement) { run.trace << statement; });
    WorkloadCalculator calculator(store.data());
    calculator.setStaging(staging);
    const QString year = store.scalar(QStringLiteral("select max(nd) from gzl"));
    // Twice: the first run computes every row, the second finds most of them unchanged.
    for (int i = 0; i < 2; ++i) {
        CalculationSummary s;
        if (node == u"year") {
            s = calculator.calculateYear(year);
        } else if (node == u"faculty") {
            s = calculator.calculate(
                Selection::faculty(year, store.scalar(QStringLiteral("select mc from yuanbu order by rowid"))));
        } else {
            s = calculator.calculate(
                Selection::section(year, store.scalar(QStringLiteral("select bmmc from bmdm order by rowid"))));
        }
        run.teachers += s.teachersUpdated;
        run.rowUpdates += s.rowsTouched;
    }
    store.db().setTracer({});
    run.tables = exactly(store.db());
    return run;
}

} // namespace

class TestCalcStage : public QObject
{
    Q_OBJECT

private slots:
    void stagedRunEqualsTheStoreRun_data()
    {
        QTest::addColumn<QString>("university");
        QTest::addColumn<QString>("parameters");
        QTest::addColumn<QString>("node");
        const QString demo = QStringLiteral("demo");
        const QString delivered = QStringLiteral("as delivered");
        QTest::newRow("demo, year") << demo << delivered << "year";
        QTest::newRow("demo, faculty") << demo << delivered << "faculty";
        QTest::newRow("demo, section") << demo << delivered << "section";
        QTest::newRow("synthetic, year") << Synthetic << delivered << "year";
        QTest::newRow("synthetic, k12 S3 k31 changed, year") << Synthetic << "k12, S3 and k31 changed"
                                                             << "year";
        QTest::newRow("demo, k12 S3 k31 changed, faculty") << demo << "k12, S3 and k31 changed"
                                                           << "faculty";
        QTest::newRow("synthetic, or-condition, faculty") << Synthetic << "a condition reaching other rows"
                                                          << "faculty";
        QTest::newRow("demo, subquery, year") << demo << "a value reading other rows"
                                              << "year";
    }
    void stagedRunEqualsTheStoreRun()
    {
        QFETCH(QString, university);
        QFETCH(QString, parameters);
        QFETCH(QString, node);
        const Run onTheStore = calculateTwice(university, parameters, node, false);
        const Run staged = calculateTwice(university, parameters, node, true);
        QVERIFY(onTheStore.teachers > 0);
        QCOMPARE(staged.teachers, onTheStore.teachers);
        QCOMPARE(staged.rowUpdates, onTheStore.rowUpdates);
        QCOMPARE(staged.trace, onTheStore.trace);
        QCOMPARE(staged.tables.size(), onTheStore.tables.size());
        for (qsizetype i = 0; i < staged.tables.size(); ++i)
            QCOMPARE(staged.tables[i], onTheStore.tables[i]);
    }

    // A value that overflows, or that then subtracts infinities, is refused with the parameter row
    // and the teacher, and the whole run is undone: staged or not.
    void nonFiniteResultIsRefused_data()
    {
        QTest::addColumn<int>("fenlie");
        QTest::addColumn<QString>("gs");
        QTest::addColumn<QString>("k11");
        QTest::addColumn<QString>("said");
        QTest::addColumn<bool>("staging");
        for (const bool staging : {true, false}) {
            const char* way = staging ? "staged" : "on the store";
            QTest::addRow("overflowing expression, %s", way) << 8 << "kk12"
                                                             << "1e308*10"
                                                             << "无穷大" << staging;
            QTest::addRow("overflowing column expression, %s", way) << 8 << "kk12"
                                                                    << "t1*1e308*10"
                                                                    << "无穷大" << staging;
            QTest::addRow("beyond every double, %s", way) << 8 << "kk12"
                                                          << "1e309"
                                                          << "无穷大" << staging;
            QTest::addRow("infinities subtracted, %s", way) << 8 << "kk12"
                                                            << "t1*1e308*10-t1*1e308*10"
                                                            << "无法表示的值 (NaN)" << staging;
            QTest::addRow("constant infinities subtracted, %s", way) << 3 << "q1"
                                                                     << "1e308*10-1e308*10"
                                                                     << "无法表示的值 (NaN)" << staging;
        }
    }
    void nonFiniteResultIsRefused()
    {
        QFETCH(int, fenlie);
        QFETCH(QString, gs);
        QFETCH(QString, k11);
        QFETCH(QString, said);
        QFETCH(bool, staging);
        TestStore store;
        Database& db = store.db();
        addPeople(db);
        addRow(db, 1, QStringLiteral("fl,shuoming,yan,r1,t1,t2,r2,fzs,bg"),
               QStringLiteral("'理论实验','专业课','本科生',95,48,16,95,4,0"));
        addParameter(db, fenlie, 99, gs, k11, QStringLiteral("fl='理论实验'"));
        const QStringList before = exactly(db);
        WorkloadCalculator calculator(store.data());
        calculator.setStaging(staging);
        try {
            calculator.calculate(faculty());
            QFAIL("the run was not refused");
        } catch (const StoreError& e) {
            QVERIFY2(e.text().startsWith(QStringLiteral("计算结果不是有限数，计算没有进行")), qPrintable(e.text()));
            QVERIFY2(e.text().contains(QStringLiteral("(fenlie=%1, shuoming=, gs=%2)").arg(fenlie).arg(gs)),
                     qPrintable(e.text()));
            QVERIFY2(e.text().contains(QStringLiteral("张三 (软件教研室, 信息学院)")), qPrintable(e.text()));
            // The server stops at the first infinite step, before an infinity could be subtracted.
            const bool stoppedAtInfinity = !TestStore::server().isEmpty() && e.text().endsWith(u"无穷大");
            QVERIFY2(e.text().endsWith(said) || stoppedAtInfinity, qPrintable(e.text()));
            QVERIFY2(e.statement().startsWith(QStringLiteral("update gzl set %1=%2").arg(gs, k11)),
                     qPrintable(e.statement()));
        }
        QCOMPARE(exactly(db), before);
        QVERIFY(!db.inTransaction());
    }

    // An empty result that the expression means stays empty: a division by zero, a NULL, an input
    // that is empty itself.
    void meantEmptyResultIsKept_data()
    {
        QTest::addColumn<QString>("k11");
        QTest::newRow("division by zero") << "t1/0";
        QTest::newRow("null") << "null";
        QTest::newRow("empty input") << "t1*r3";
        QTest::newRow("case without else") << "case when t1>100 then 1 end";
    }
    void meantEmptyResultIsKept()
    {
        QFETCH(QString, k11);
        for (const bool staging : {true, false}) {
            TestStore store;
            Database& db = store.db();
            addPeople(db);
            addRow(db, 1, QStringLiteral("fl,shuoming,t1"), QStringLiteral("'理论实验','专业课',48"));
            addParameter(db, 8, 99, QStringLiteral("kk12"), k11, QStringLiteral("fl='理论实验'"));
            WorkloadCalculator calculator(store.data());
            calculator.setStaging(staging);
            QCOMPARE(calculator.calculate(faculty()).teachersUpdated, 2);
            QCOMPARE(store.scalar(QStringLiteral("select kk12 is null from gzl")), QStringLiteral("1"));
        }
    }
};

QTEST_GUILESS_MAIN(TestCalcStage)
#include "tst_calc_stage.moc"
