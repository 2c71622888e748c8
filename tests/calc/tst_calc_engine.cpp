#include "CalcFixture.h"
#include "FUnit.h"

#include <QTest>

using namespace CalcFixture;

class TestCalcEngine : public QObject
{
    Q_OBJECT
private slots:
    void init() { LoginState::reset(); }

    // The delivered parameter set on one theory/lab row worked out by hand:
    // 专业课 本专生: s1 40, k12 0.18, s2 20, c12 1.1; 95 > 2*40 students: k11 = 1.5 + 15/40*0.3.
    void defaultParametersOnHandCheckedRow()
    {
        TestStore store;
        addPeople(store.db());
        // bg 0: lab reports are handed in (the full lab workload).
        addRow(store.db(), 1, QStringLiteral("fl,shuoming,yan,r1,t1,t2,r2,fzs,bg"),
               QStringLiteral("'理论实验','专业课','本科生',95,48,16,95,4,0"));

        const CalculationSummary summary = CalculateWorkload(selectFaculty());
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
};

QTEST_GUILESS_MAIN(TestCalcEngine)
#include "tst_calc_engine.moc"
