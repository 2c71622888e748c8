// A year's calculation (every faculty) is one run: a failure in any faculty leaves every table
// as it was before, also the faculties calculated before it.
#include "CalcFixture.h"
#include "calc/WorkloadCalculator.h"
#include "support/CliRun.h"

#include <QTest>

using namespace CalcFixture;

namespace {

const QStringList Faculties{QStringLiteral("A学院"), QStringLiteral("B学院"), QStringLiteral("C学院")};

// Faculties A, B and C (calculated in that order), each with one section, one teacher and one
// theory row of the year that the delivered parameters compute.
void prepare(TestStore& store)
{
    Database& db = store.db();
    for (int i = 0; i < Faculties.size(); ++i) {
        const QString f = Faculties[i];
        const QString section = f + QStringLiteral("教研室");
        const QString teacher = QStringLiteral("教师%1").arg(i + 1);
        db.execute(QStringLiteral("insert into yuanbu (mc) values (%1)").arg(Sql::quote(f)));
        db.execute(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('0%1',%2,%3)")
                       .arg(i + 1)
                       .arg(Sql::quote(section), Sql::quote(f)));
        db.execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm,q,q11,q12,q2,q31,q32,q33) values "
                                  "('00%1',%2,'0%1',0,0,0,0,0,0,0)")
                       .arg(i + 1)
                       .arg(Sql::quote(teacher)));
        db.execute(QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,nd,gm,fl,shuoming,yan,r1,t1,t2,r2,"
                                  "fzs,bg) values (%1,%2,%3,%4,%5,0,'理论实验','专业课','本科生',95,48,16,95,4,0)")
                       .arg(i + 1)
                       .arg(Sql::quote(teacher), Sql::quote(f), Sql::quote(section), Sql::quote(Year)));
    }
}

QStringList state(Database& db)
{
    return snapshot(db, QStringLiteral("gzl"), QStringLiteral("xh")) +
           snapshot(db, QStringLiteral("rydm"), QStringLiteral("rydm")) +
           snapshot(db, QStringLiteral("sysparameter"), QStringLiteral("rowid"));
}

// What makes the run fail in one faculty only: a total that cannot be stored, a value the store
// refuses to compute, or a statement beyond the step budget.
void injectFailure(Database& db, const QString& kind, const QString& faculty)
{
    const QString only = QStringLiteral("case when yuanbu=%1 then %2 else 1 end").arg(Sql::quote(faculty));
    if (kind == u"total") {
        const int n = int(Faculties.indexOf(faculty)) + 1;
        db.execute(QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,nd,fl,r32,q32) values "
                                  "(9,'教师%1',%2,%3,%4,'毕业设计',1,21474836.48)")
                       .arg(n)
                       .arg(Sql::quote(faculty), Sql::quote(faculty + QStringLiteral("教研室")), Sql::quote(Year)));
    } else if (kind == u"value") {
        addParameter(db, 8, 99, QStringLiteral("kk12"), only.arg(QStringLiteral("abs(xh*0-9223372036854775807-1)")),
                     QStringLiteral("fl='理论实验'"));
    } else {
        // The server runs the join of four faster than its shortest statement timeout: five.
        const QString join = TestStore::server().isEmpty()
                                 ? QStringLiteral("sysparameter a, sysparameter b, sysparameter c, sysparameter d")
                                 : QStringLiteral("sysparameter a, sysparameter b, sysparameter c, sysparameter d, "
                                                  "sysparameter e");
        addParameter(db, 8, 99, QStringLiteral("kk12"), only.arg(QStringLiteral("(select count(*) from %1)").arg(join)),
                     QStringLiteral("fl='理论实验'"));
    }
}

} // namespace

class TestCalcYear : public QObject
{
    Q_OBJECT
private slots:
    void failureInOneFacultyKeepsNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("refusal");
        for (const QString& faculty : {Faculties[1], Faculties[2]}) {
            const QByteArray f = faculty.toUtf8();
            QTest::addRow("total beyond the limit in %s", f.constData()) << "total" << faculty << "21474836.47";
            QTest::addRow("refused value in %s", f.constData())
                << "value" << faculty
                << (TestStore::server().isEmpty() ? QStringLiteral("integer overflow")
                                                  : QStringLiteral("out of range"));
            QTest::addRow("step budget in %s", f.constData()) << "steps" << faculty << "语句运行过久";
        }
    }
    void failureInOneFacultyKeepsNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, failing);
        QFETCH(QString, refusal);
        TestStore store;
        prepare(store);
        Database& db = store.db();
        injectFailure(db, kind, failing);
        const QStringList before = state(db);

        WorkloadCalculator calculator(store.data());
        calculator.setStepLimit(100'000);
        QStringList trace;
        db.setTracer([&](const QString& statement) { trace << statement; });
        try {
            calculator.calculateYear(Year);
            QFAIL("the year was calculated");
        } catch (const StoreError& e) {
            QVERIFY2(e.text().contains(refusal), qPrintable(e.text()));
            QVERIFY2(e.statement().contains(Sql::quote(failing)), qPrintable(e.statement()));
        }
        db.setTracer({});
        // The faculty before had its totals written when the failure came; they are gone again.
        const QString previousTeacher = QStringLiteral("00%1").arg(Faculties.indexOf(failing));
        QVERIFY(trace.contains(QStringLiteral("update rydm set q11=85.14,\nq12=15.33,\nq2=70,\nq31=0,\nq32=0,\n"
                                              "q33=0\nwhere rydm='%1'")
                                   .arg(previousTeacher)));
        QCOMPARE(state(db), before);
        QVERIFY(!db.inTransaction());
        QVERIFY(!store.data().Query1->isActive());
        QVERIFY(!store.data().Query2->isActive());
        QVERIFY(!store.data().xssj2->isActive());
    }

    // The same through workloadctl: exit 1 with the refusal and the statement, nothing kept.
    void refusedYearThroughTheCommand()
    {
        TestStore store;
        prepare(store);
        Database& db = store.db();
        injectFailure(db, QStringLiteral("total"), Faculties[2]);
        const QStringList before = state(db);
        const CliRun r = runCli(store.ctlArguments() + QStringList{QStringLiteral("calc"), QStringLiteral("--year"),
                                                                   Year, QStringLiteral("--all")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("21474836.47")) && r.err.contains(QStringLiteral("select sum(q11)")),
                 qPrintable(r.err));
        QCOMPARE(r.out, QString());
        QCOMPARE(state(db), before);
    }

    // Without a failure every faculty is calculated, in one go.
    void everyFacultyWithoutFailure()
    {
        TestStore store;
        prepare(store);
        int faculties = 0;
        const CalculationSummary summary = WorkloadCalculator(store.data()).calculateYear(Year, &faculties);
        QCOMPARE(faculties, 3);
        QCOMPARE(summary.teachersUpdated, 3);
        QStringList totals;
        for (const QVariantList& row : store.db().select(QStringLiteral("select q from rydm order by rydm")).rows)
            totals << Field(QString(), row.front()).asString();
        QCOMPARE(totals, QStringList({"170.47", "170.47", "170.47"}));
        QVERIFY(!store.db().inTransaction());
    }
};

QTEST_GUILESS_MAIN(TestCalcYear)
#include "tst_calc_year.moc"
