#include "CalcFixture.h"
#include "calc/WorkloadCalculator.h"

#include <QTest>

using namespace CalcFixture;

class TestCalcEngine : public QObject
{
    Q_OBJECT
private slots:

    // The delivered parameter set on one theory/lab row worked out by hand:
    // 专业课 本专生: s1 40, k12 0.18, s2 20, c12 1.1; 95 > 2*40 students: k11 = 1.5 + 15/40*0.3.
    void defaultParametersOnHandCheckedRow()
    {
        TestStore store;
        addPeople(store.db());
        // bg 0: lab reports are handed in (the full lab workload).
        addRow(store.db(), 1, QStringLiteral("fl,shuoming,yan,r1,t1,t2,r2,fzs,bg"),
               QStringLiteral("'理论实验','专业课','本科生',95,48,16,95,4,0"));

        const CalculationSummary summary = calculate(store);
        QCOMPARE(summary.teachersUpdated, 2);

        const auto value = [&](const QString& column) {
            return store.scalar(QStringLiteral("select %1 from gzl where xh=1").arg(column)).toDouble();
        };
        QCOMPARE(value(QStringLiteral("s1")), 40.0);
        QCOMPARE(value(QStringLiteral("k12")), 0.18);
        QCOMPARE(value(QStringLiteral("s2")), 20.0);
        QCOMPARE(value(QStringLiteral("c12")), 1.1);
        QCOMPARE(value(QStringLiteral("k11")), 1.6125);
        QCOMPARE(value(QStringLiteral("q11")), 85.14);
        QCOMPARE(value(QStringLiteral("q12")), 15.3252);
        QCOMPARE(value(QStringLiteral("k2")), 1.09375);
        QCOMPARE(value(QStringLiteral("q2")), 70.0);

        // Totals to hundredths: 15.3252 -> 15.33; q = 85.14 + 15.33 + 70.
        QCOMPARE(store.scalar(QStringLiteral("select q11 from rydm where rydm='001'")), QStringLiteral("85.14"));
        QCOMPARE(store.scalar(QStringLiteral("select q12 from rydm where rydm='001'")), QStringLiteral("15.33"));
        QCOMPARE(store.scalar(QStringLiteral("select q2 from rydm where rydm='001'")), QStringLiteral("70"));
        QCOMPARE(store.scalar(QStringLiteral("select q from rydm where rydm='001'")), QStringLiteral("170.47"));
    }

    // Every statement of a small run, in order, as the store receives it.
    void statementTexts()
    {
        TestStore store;
        Database& db = store.db();
        addPeople(db);
        db.execute(QStringLiteral("delete from sysparameter"));
        // gs with blanks around it: they are trimmed.
        addParameter(db, 0, 1, QStringLiteral(" c12 "), QStringLiteral("1.1"), QStringLiteral("fl='理论实验'"),
                     QStringLiteral("专业课"), QStringLiteral("本专生"), QStringLiteral("40"), 0.18,
                     QStringLiteral("20"));
        addParameter(db, 1, 1, QStringLiteral("c12"), QStringLiteral("1.5"), QStringLiteral("fl='理论实验'"),
                     QStringLiteral("专业课"), QStringLiteral("研究生"), QStringLiteral("20"), 0.19,
                     QStringLiteral("10"));
        addParameter(db, 3, 1, QStringLiteral("q11"), QStringLiteral("t1*c12"), QStringLiteral("fl='理论实验'"));
        addParameter(db, 12, 1, QStringLiteral("q32"), QStringLiteral("r32*12"), QStringLiteral("fl='毕业设计'"));
        addRow(db, 1, QStringLiteral("fl,shuoming,yan,t1"), QStringLiteral("'理论实验','专业课','本科生',10"));

        const QString f = faculty().YearFilter();
        QCOMPARE(f, QStringLiteral("nd like '%2026-2027学年%' and yuanbu='信息学院'"));
        QStringList trace;
        db.setTracer([&](const QString& s) { trace << s; });
        calculate(store);
        db.setTracer({});

        const QString course = f + QStringLiteral(" and fl='理论实验' and shuoming='专业课'");
        QStringList expected{
            QStringLiteral("select * from sysparameter where fenlie=0 or fenlie=1 order by sunxu, rowid"),
            QStringLiteral("select * from gzl where ") + course,
            QStringLiteral("update gzl set s1=40,k12=0.18,s2=20\nwhere ") + course,
            QStringLiteral("update gzl set c12=1.1\nwhere ") + course,
            QStringLiteral("select * from gzl where ") + course + QStringLiteral(" and yan='研究生'"),
        };
        for (int n = 2; n <= 12; ++n) {
            expected << QStringLiteral("select * from sysparameter where fenlie=%1 order by sunxu, rowid").arg(n);
            if (n == 3) {
                expected << QStringLiteral("select * from gzl where ") + f + QStringLiteral(" and fl='理论实验'")
                         << QStringLiteral("update gzl set q11=t1*c12\nwhere ") + f +
                                QStringLiteral(" and fl='理论实验'");
            } else if (n == 12) {
                expected << QStringLiteral("select * from gzl where ") + f + QStringLiteral(" and fl='毕业设计'");
            }
        }
        const QString teacher = QStringLiteral(" and jiaoshi='%1' and jiaoyanshi='软件教研室' and yuanbu='信息学院'");
        expected << QStringLiteral(
                        "select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and  bmdm.ybmc='信息学院' order by rydm")
                 << QStringLiteral("select q33 from gzl where ") + f + teacher.arg(QStringLiteral("张三"))
                 << QStringLiteral("select sum(q11)*100 as q11,sum(q12)*100 as q12,sum(q2)*100 as q2,sum(q31)*100 as "
                                   "q31,sum(q32)*100 as q32,sum(q33)*100 as q33 from gzl where ") +
                        f + teacher.arg(QStringLiteral("张三"))
                 << QStringLiteral("update rydm set q11=11,\nq12=0,\nq2=0,\nq31=0,\nq32=0,\nq33=0\nwhere rydm='001'")
                 << QStringLiteral("select q33 from gzl where ") + f + teacher.arg(QStringLiteral("李四"))
                 << QStringLiteral("update rydm set q11=0,\nq12=0,\nq2=0,\nq31=0,\nq32=0,\nq33=0\nwhere rydm='002'")
                 << QStringLiteral("update rydm set q=q11+q12+q2+q31+q32+q33");
        QCOMPARE(trace, expected);
    }

    // Two course-type rows assigning the same column to the same workload row: the later one in
    // sunxu order wins; with equal sunxu, the one stored later.
    void laterParameterRowWins_data()
    {
        QTest::addColumn<double>("firstSunxu");
        QTest::addColumn<double>("secondSunxu");
        QTest::addColumn<QString>("expected");
        QTest::newRow("second is later") << 1.0 << 2.0 << QStringLiteral("2");
        QTest::newRow("first is later") << 3.0 << 2.0 << QStringLiteral("1");
        QTest::newRow("equal: store order") << 2.0 << 2.0 << QStringLiteral("2");
        QTest::newRow("lowered below") << -1.0 << 0.0 << QStringLiteral("2");
    }
    void laterParameterRowWins()
    {
        QFETCH(double, firstSunxu);
        QFETCH(double, secondSunxu);
        QFETCH(QString, expected);
        TestStore store;
        Database& db = store.db();
        addPeople(db);
        db.execute(QStringLiteral("delete from sysparameter"));
        // Both rows are for the same course type: category 0 and category 1 share stage 1.
        addParameter(db, 0, firstSunxu, QStringLiteral("c12"), QStringLiteral("1"), QStringLiteral("fl='理论实验'"),
                     QStringLiteral("专业课"), QStringLiteral("本专生"), QStringLiteral("40"), 0.1,
                     QStringLiteral("20"));
        addParameter(db, 1, secondSunxu, QStringLiteral("c12"), QStringLiteral("2"), QStringLiteral("fl='理论实验'"),
                     QStringLiteral("专业课"), QStringLiteral("本专生"), QStringLiteral("40"), 0.2,
                     QStringLiteral("20"));
        addRow(db, 1, QStringLiteral("fl,shuoming,yan"), QStringLiteral("'理论实验','专业课','本科生'"));

        calculate(store);
        QCOMPARE(store.scalar(QStringLiteral("select c12 from gzl where xh=1")), expected);
        QCOMPARE(store.scalar(QStringLiteral("select k12 from gzl where xh=1")),
                 expected == u"2" ? QStringLiteral("0.2") : QStringLiteral("0.1"));
    }

    // A course type without a parameter row of categories 0 and 1 gets no stage-1 values; the
    // formulas that need them find nothing to do.
    void unknownCourseTypeKeepsItsColumns()
    {
        TestStore store;
        addPeople(store.db());
        addRow(store.db(), 1, QStringLiteral("fl,shuoming,yan,r1,t1,t2,r2,fzs,bg"),
               QStringLiteral("'理论实验','书法课','本科生',95,48,0,0,0,0"));
        calculate(store);
        QCOMPARE(store.scalar(QStringLiteral("select coalesce(cast(s1 as text),'-')||coalesce(cast(k12 as text),'-')||"
                                             "coalesce(cast(s2 as text),'-')||coalesce(cast(c12 as text),'-')||"
                                             "coalesce(cast(k11 as text),'-') from gzl where xh=1")),
                 QStringLiteral("-----"));
        // Classroom workload needs c12: t1*k11*c12 stays empty, so the total is 0.
        QCOMPARE(store.scalar(QStringLiteral("select q from rydm where rydm='001'")), QStringLiteral("0"));
    }

    // The student group restricts only the probe: a "研究生" row changes nothing while no
    // postgraduate row of its course type is selected, and every row of the type once one is.
    void postgraduateProbe_data()
    {
        QTest::addColumn<bool>("withPostgraduate");
        QTest::addColumn<QString>("undergraduateC12");
        QTest::addColumn<QString>("postgraduateC12");
        QTest::newRow("no postgraduate row") << false << QString() << QString();
        QTest::newRow("one postgraduate row") << true << QStringLiteral("1.5") << QStringLiteral("1.5");
    }
    void postgraduateProbe()
    {
        QFETCH(bool, withPostgraduate);
        QFETCH(QString, undergraduateC12);
        QFETCH(QString, postgraduateC12);
        TestStore store;
        Database& db = store.db();
        addPeople(db);
        db.execute(QStringLiteral("delete from sysparameter"));
        addParameter(db, 1, 1, QStringLiteral("c12"), QStringLiteral("1.5"), QStringLiteral("fl='理论实验'"),
                     QStringLiteral("专业课"), QStringLiteral("研究生"), QStringLiteral("20"), 0.19,
                     QStringLiteral("10"));
        addRow(db, 1, QStringLiteral("fl,shuoming,yan"), QStringLiteral("'理论实验','专业课','本科生'"));
        // A postgraduate row of the course type in another year: outside the filter.
        addRow(db, 2, QStringLiteral("fl,shuoming,yan"), QStringLiteral("'理论实验','专业课','研究生'"),
               QStringLiteral("张三"), QStringLiteral("2025-2026学年"));
        if (withPostgraduate)
            addRow(db, 3, QStringLiteral("fl,shuoming,yan"), QStringLiteral("'理论实验','专业课','研究生'"));

        calculate(store);
        QCOMPARE(store.scalar(QStringLiteral("select c12 from gzl where xh=1")), undergraduateC12);
        QCOMPARE(store.scalar(QStringLiteral("select s1 from gzl where xh=1")),
                 withPostgraduate ? QStringLiteral("20") : QString());
        QCOMPARE(store.scalar(QStringLiteral("select c12 from gzl where xh=2")), QString());
        if (withPostgraduate)
            QCOMPARE(store.scalar(QStringLiteral("select c12 from gzl where xh=3")), postgraduateC12);
    }

    // The six totals are sums to the nearest hundredth, halves to even, written in shortest form.
    void totalsToHundredths_data()
    {
        QTest::addColumn<QString>("values"); // q32 of the teacher's rows
        QTest::addColumn<QString>("total");
        QTest::newRow("down") << QStringLiteral("12.344") << QStringLiteral("12.34");
        QTest::newRow("up") << QStringLiteral("12.346") << QStringLiteral("12.35");
        QTest::newRow("half to even, down") << QStringLiteral("0.0625,0.0625") << QStringLiteral("0.12");
        QTest::newRow("half to even, up") << QStringLiteral("0.375") << QStringLiteral("0.38");
        QTest::newRow("whole") << QStringLiteral("2,3") << QStringLiteral("5");
        QTest::newRow("never computed") << QStringLiteral("null") << QStringLiteral("0");
        QTest::newRow("negative") << QStringLiteral("-1.005") << QStringLiteral("-1");
        QTest::newRow("largest") << QStringLiteral("21474836.47") << QStringLiteral("21474836.47");
    }
    void totalsToHundredths()
    {
        QFETCH(QString, values);
        QFETCH(QString, total);
        TestStore store;
        Database& db = store.db();
        addPeople(db);
        db.execute(QStringLiteral("delete from sysparameter"));
        int xh = 0;
        for (const QString& v : values.split(u','))
            addRow(db, ++xh, QStringLiteral("fl,q32"), QStringLiteral("'毕业设计',") + v);

        QStringList trace;
        db.setTracer([&](const QString& s) { trace << s; });
        calculate(store);
        db.setTracer({});

        QCOMPARE(store.scalar(QStringLiteral("select q32 from rydm where rydm='001'")), total);
        QCOMPARE(store.scalar(QStringLiteral("select q from rydm where rydm='001'")), total);
        const QString update = QStringLiteral("update rydm set q11=0,\nq12=0,\nq2=0,\nq31=0,\nq32=%1,\nq33=0\nwhere "
                                              "rydm='001'")
                                   .arg(total);
        QVERIFY2(trace.contains(update), qPrintable(trace.join(u'\n')));
    }

    // Teachers of the node without selected rows get zeros; every teacher's q is recomputed,
    // also outside the node.
    void teachersWithoutRowsAndGrandTotals()
    {
        TestStore store;
        Database& db = store.db();
        addPeople(db);
        db.execute(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('02','数学教研室','理学院')"));
        db.execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm,q,q11,q12,q2,q31,q32,q33) values "
                                  "('003','王五','02',0,1.5,2,0,0,0,0)"));
        // 李四's row of another year does not count.
        addRow(db, 1, QStringLiteral("fl,q33,r33"), QStringLiteral("'指导硕士',40,2"), QStringLiteral("李四"),
               QStringLiteral("2025-2026学年"));

        const CalculationSummary summary = calculate(store);
        QCOMPARE(summary.teachersUpdated, 2);
        // Zero, not empty: a teacher without rows in the year is a teacher of no workload.
        QCOMPARE(store.count(QStringLiteral("rydm"), QStringLiteral("rydm='002' and q11=0 and q12=0 and q2=0 and "
                                                                    "q31=0 and q32=0 and q33=0 and q=0")),
                 1);
        QCOMPARE(store.scalar(QStringLiteral("select q from rydm where rydm='003'")), QStringLiteral("3.5"));
        QCOMPARE(store.scalar(QStringLiteral("select q33 from gzl where xh=1")), QStringLiteral("40"));
    }
};

QTEST_GUILESS_MAIN(TestCalcEngine)
#include "tst_calc_engine.moc"
