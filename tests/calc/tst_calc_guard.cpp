// A run is all or nothing, refuses totals it cannot store, and lets parameter texts do
// nothing but read and update the workload and teacher tables.
#include "CalcFixture.h"
#include "calc/WorkloadCalculator.h"
#include "store/DataModule.h"
#include "store/SqliteDatabase.h"
#include "store/StoreSchema.h"

#include <QFileInfo>
#include <QSet>
#include <QTest>

using namespace CalcFixture;

namespace {

// The tables a run may change, and the ones it must never touch.
QStringList state(Database& db)
{
    return snapshot(db, QStringLiteral("gzl"), QStringLiteral("xh")) +
           snapshot(db, QStringLiteral("rydm"), QStringLiteral("rydm")) +
           snapshot(db, QStringLiteral("sysparameter"), QStringLiteral("rowid")) +
           snapshot(db, QStringLiteral("niandu"), QStringLiteral("nd")) +
           snapshot(db, QStringLiteral("user1"), QStringLiteral("name")) +
           snapshot(db, QStringLiteral("sqlite_master"), QStringLiteral("name"));
}

// A store with the delivered parameters and computable rows, so that a failing run has
// already changed something when it fails.
void prepare(TestStore& store)
{
    Database& db = store.db();
    addPeople(db);
    addRow(db, 1, QStringLiteral("fl,shuoming,yan,r1,t1,t2,r2,fzs,bg"),
           QStringLiteral("'理论实验','专业课','本科生',95,48,16,95,4,0"));
    addRow(db, 2, QStringLiteral("fl,r32,q32"), QStringLiteral("'毕业设计',5,0"));
}

// After a refused run: nothing of it stays, no transaction is left open, the holders are
// closed and the connection is unrestricted again.
void verifyUndone(TestStore& store, const QStringList& before)
{
    Database& db = store.db();
    QCOMPARE(state(db), before);
    QVERIFY(!db.inTransaction());
    QVERIFY(!store.data().Query1->isActive());
    QVERIFY(!store.data().Query2->isActive());
    db.execute(QStringLiteral("create table scratch (x)"));
}

// SQLite's words for a statement its authorizer refused.
bool isRefusal(const QString& text)
{
    return text.contains(QStringLiteral("authoriz")) || text.contains(QStringLiteral("prohibited"));
}

} // namespace

class TestCalcGuard : public QObject
{
    Q_OBJECT
private slots:

    void refusedStatementUndoesTheRun_data()
    {
        QTest::addColumn<int>("fenlie");
        QTest::addColumn<QString>("gs");
        QTest::addColumn<QString>("k11");
        QTest::addColumn<QString>("tiaojian");
        QTest::addColumn<QString>("s1");
        QTest::addColumn<QString>("failing"); // the part of the refused statement after "where <filter> and "
        QTest::newRow("empty condition") << 8 << "kk12"
                                         << "1"
                                         << ""
                                         << ""
                                         << "";
        QTest::newRow("unknown column") << 8 << "kk99"
                                        << "1"
                                        << "fl='理论实验'"
                                        << ""
                                        << "fl='理论实验'";
        QTest::newRow("empty value") << 8 << "kk12"
                                     << ""
                                     << "fl='理论实验'"
                                     << ""
                                     << "fl='理论实验'";
        QTest::newRow("unknown name in expression") << 8 << "kk12"
                                                    << "k12*abc"
                                                    << "fl='理论实验'"
                                                    << ""
                                                    << "fl='理论实验'";
        QTest::newRow("text into a number") << 8 << "kk12"
                                            << "'abc'"
                                            << "fl='理论实验'"
                                            << ""
                                            << "fl='理论实验'";
        QTest::newRow("quote in condition") << 12 << "q32"
                                            << "1"
                                            << "kname='O'Neil'"
                                            << ""
                                            << "kname='O'Neil'";
        QTest::newRow("empty course-type value") << 0 << "c12"
                                                 << "1"
                                                 << "fl='理论实验'"
                                                 << ""
                                                 << "fl='理论实验'";
    }
    void refusedStatementUndoesTheRun()
    {
        QFETCH(int, fenlie);
        QFETCH(QString, gs);
        QFETCH(QString, k11);
        QFETCH(QString, tiaojian);
        QFETCH(QString, s1);
        QFETCH(QString, failing);
        TestStore store;
        prepare(store);
        Database& db = store.db();
        // Ordered last in its stage, so that earlier rows have already updated gzl.
        if (fenlie <= 1)
            addParameter(db, fenlie, 99, gs, k11, tiaojian, QStringLiteral("专业课"), QStringLiteral("本专生"), s1, 0.1,
                         QStringLiteral("20"));
        else
            addParameter(db, fenlie, 99, gs, k11, tiaojian);
        const QStringList before = state(db);
        const QString filter = faculty().YearFilter();

        QString last;
        db.setTracer([&](const QString& s) { last = s; });
        try {
            calculate(store);
            QFAIL("the run was not refused");
        } catch (const StoreError& e) {
            QVERIFY(!e.text().isEmpty());
            QCOMPARE(e.statement(), last);
            QVERIFY2(e.statement().contains(QStringLiteral("where ") + filter + QStringLiteral(" and ") + failing),
                     qPrintable(e.statement()));
        }
        db.setTracer({});
        verifyUndone(store, before);
    }

    void totalBeyondHundredthsRangeIsRefused_data()
    {
        QTest::addColumn<QString>("q32");
        QTest::newRow("just above") << QStringLiteral("21474836.48");
        QTest::newRow("just below the negative limit") << QStringLiteral("-21474836.49");
        QTest::newRow("far above") << QStringLiteral("1e15");
    }
    void totalBeyondHundredthsRangeIsRefused()
    {
        QFETCH(QString, q32);
        TestStore store;
        prepare(store);
        // 李四 has no other row: his total is exactly this one.
        addRow(store.db(), 3, QStringLiteral("fl,r32,q32"), QStringLiteral("'毕业设计',1,") + q32,
               QStringLiteral("李四"));
        const QStringList before = state(store.db());
        try {
            calculate(store);
            QFAIL("the total was stored");
        } catch (const StoreError& e) {
            QVERIFY2(e.text().contains(QStringLiteral("21474836.47")) && e.text().contains(QStringLiteral("李四")),
                     qPrintable(e.text()));
            QVERIFY2(e.statement().startsWith(QStringLiteral("select sum(q11)*100 as q11")) &&
                         e.statement().contains(QStringLiteral("jiaoshi='李四'")),
                     qPrintable(e.statement()));
        }
        verifyUndone(store, before);
    }

    // Installed on its own: what the engine's connection may and may not do during a run.
    void authorizerAllowsOnlyReadsAndWorkloadUpdates_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("update gzl") << "update gzl set k11=1 where xh=1" << true;
        QTest::newRow("update rydm") << "update rydm set q=q11+q12+q2+q31+q32+q33" << true;
        QTest::newRow("read another table") << "select count(*) from user1" << false;
        QTest::newRow("teacher join") << "select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and  bmdm.ybmc='信息学院' "
                                         "order by rydm"
                                      << true;
        QTest::newRow("read the parameter rows") << "select * from sysparameter where fenlie=0 or fenlie=1 order by "
                                                    "sunxu, rowid"
                                                 << true;
        QTest::newRow("sums of the workload rows")
            << "select sum(q11)*100 as q11 from gzl where jiaoshi='张三'" << true;
        QTest::newRow("read a password") << "select password1 from user1" << false;
        QTest::newRow("read the years") << "select * from niandu" << false;
        QTest::newRow("read the faculties") << "select mc from yuanbu" << false;
        QTest::newRow("read the settings") << "select Nd from system" << false;
        QTest::newRow("read the schema") << "select sql from sqlite_master" << false;
        QTest::newRow("read an export table") << "select count(*) from gzl_temp" << false;
        QTest::newRow("read an import work table") << "select count(*) from work.dbtemp" << false;
        QTest::newRow("read through a subquery") << "update gzl set k11=(select count(*) from niandu)" << false;
        QTest::newRow("recursive query") << "with recursive n(i) as (select 1 union all select i+1 from n where i<3) "
                                            "select * from n"
                                         << false;
        QTest::newRow("column lookup of another table") << "pragma table_info(user1)" << false;
        QTest::newRow("rename a teacher's rows") << "update gzl set jiaoshi='x'" << false;
        QTest::newRow("rename a teacher") << "update rydm set rymc='x'" << false;
        QTest::newRow("insert a workload row") << "insert into gzl (xh) values (9)" << false;
        QTest::newRow("delete workload rows") << "delete from gzl" << false;
        QTest::newRow("attach") << "attach database ':memory:' as evil" << false;
        QTest::newRow("detach") << "detach database work" << false;
        QTest::newRow("pragma") << "pragma user_version=99" << false;
        QTest::newRow("pragma function") << "select * from gzl where (select count(*) from pragma_table_info('user1'))"
                                         << false;
        QTest::newRow("create") << "create table evil (x)" << false;
        QTest::newRow("index") << "create index evil on gzl(nd)" << false;
        QTest::newRow("drop") << "drop table niandu" << false;
        QTest::newRow("alter") << "alter table gzl add column evil" << false;
        QTest::newRow("insert elsewhere") << "insert into user1 (name,password1) values ('evil','x')" << false;
        QTest::newRow("update elsewhere") << "update sysparameter set k11='0'" << false;
        QTest::newRow("delete elsewhere") << "delete from niandu" << false;
        QTest::newRow("work table") << "delete from dbtemp" << false;
        QTest::newRow("vacuum") << "vacuum" << false;
    }
    void authorizerAllowsOnlyReadsAndWorkloadUpdates()
    {
        QFETCH(QString, statement);
        QFETCH(bool, allowed);
        TestStore store;
        prepare(store);
        Database& db = store.db();
        const QStringList before = state(db);
        // Forget cached column lists, so that the join's own lookup runs under the authorizer too.
        SqliteDatabase::of(db).executeInternal(QStringLiteral("select 1"));
        bool refused = false;
        {
            const auto authorizer = db.guardCalculation(WorkloadCalculator::grant());
            try {
                db.execute(statement);
            } catch (const StoreError& e) {
                refused = true;
                QVERIFY2(isRefusal(e.text()), qPrintable(e.text()));
                QCOMPARE(e.statement(), statement);
            }
        }
        QCOMPARE(refused, !allowed);
        if (!allowed)
            QCOMPARE(state(db), before);
        // Gone with the authorizer object.
        db.execute(QStringLiteral("create table scratch (x)"));
    }

    // Hostile texts in a parameter row: a second statement, and a trigger someone placed on
    // gzl to write elsewhere whenever the engine updates it.
    void hostileRunIsRefusedAndUndone_data()
    {
        QTest::addColumn<QString>("tiaojian");
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("second statement") << QStringLiteral("1=1; attach database 'evil.sqlite3' as evil") << QString()
                                          << QStringLiteral("一次只能执行一条语句");
        QTest::newRow("pragma in condition") << QStringLiteral("(select count(*) from pragma_table_info('user1'))>0")
                                             << QString() << QStringLiteral("not authorized");
        QTest::newRow("trigger writing another table")
            << QStringLiteral("fl='理论实验'")
            << QStringLiteral("create trigger spy after update on gzl begin insert into niandu (nd) values ('x'); end")
            << QStringLiteral("not authorized");
    }
    void hostileRunIsRefusedAndUndone()
    {
        QFETCH(QString, tiaojian);
        QFETCH(QString, trigger);
        QFETCH(QString, refusal);
        TestStore store;
        prepare(store);
        Database& db = store.db();
        if (!trigger.isEmpty())
            db.execute(trigger);
        addParameter(db, 8, 99, QStringLiteral("kk12"), QStringLiteral("1"), tiaojian);
        const QStringList before = state(db);
        try {
            calculate(store);
            QFAIL("the run was not refused");
        } catch (const StoreError& e) {
            QVERIFY2(e.text().contains(refusal), qPrintable(e.text()));
        }
        verifyUndone(store, before);
        QVERIFY(!QFileInfo::exists(store.dir() + QStringLiteral("/evil.sqlite3")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("evil.sqlite3")));
    }

    // Parameter rows that a store was seen to accept and apply: each now stops the run with the
    // store's refusal and the statement, and nothing of the run stays.
    void parameterRowReachingBeyondItsColumnsIsRefused_data()
    {
        QTest::addColumn<int>("fenlie");
        QTest::addColumn<QString>("gs");
        QTest::addColumn<QString>("k11");
        QTest::addColumn<QString>("tiaojian");
        QTest::addColumn<QString>("s1");
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<quint64>("stepLimit"); // 0: the calculation's own
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("statementPart");
        const QString theory = QStringLiteral("fl='理论实验'");
        const QString unauthorized = QStringLiteral("not authorized");
        QTest::newRow("target column nd re-dates rows") << 8 << "nd"
                                                        << "'2099-2100学年'" << theory << ""
                                                        << "" << quint64(0) << unauthorized << "update gzl set nd=";
        QTest::newRow("assignment renames teachers")
            << 8 << "kk12"
            << "1, jiaoshi='x'" << theory << ""
            << "" << quint64(0) << unauthorized << "update gzl set kk12=1, jiaoshi='x'";
        QTest::newRow("course-type size moves rows out of the faculty")
            << 0 << "c12"
            << "1" << theory << "60, yuanbu='x'"
            << "" << quint64(0) << unauthorized << "s1=60, yuanbu='x'";
        QTest::newRow("value copies a password") << 8 << "kk12"
                                                 << "(select password1 from user1 limit 1)" << theory << ""
                                                 << "" << quint64(0) << "access to main.user1.password1 is prohibited"
                                                 << "(select password1 from user1 limit 1)";
        QTest::newRow("condition reads the years")
            << 8 << "kk12"
            << "1"
            << "fl='理论实验' and exists (select 1 from niandu)"
            << ""
            << "" << quint64(0) << unauthorized << "exists (select 1 from niandu)";
        QTest::newRow("recursive query in a condition never ends")
            << 8 << "kk12"
            << "1"
            << "fl='理论实验' and exists (with recursive n(i) as (select 1 union all select i+1 from n) "
               "select 1 from n where i<0)"
            << ""
            << "" << quint64(0) << unauthorized << "with recursive n(i)";
        QTest::newRow("statement beyond the step budget")
            << 8 << "kk12"
            << "(select count(*) from sysparameter a, sysparameter b, sysparameter c, sysparameter d)" << theory << ""
            << "" << quint64(100000) << "语句运行过久"
            << "update gzl set kk12=(select count(*) from sysparameter a";
        QTest::newRow("trigger renaming a teacher")
            << 8 << "kk12"
            << "1" << theory << ""
            << "create trigger spy after update on gzl begin update rydm set rymc='x'; end" << quint64(0)
            << unauthorized << "update gzl set";
        QTest::newRow("trigger adding workload rows")
            << 8 << "kk12"
            << "1" << theory << ""
            << "create trigger spy after update on gzl begin insert into gzl (xh) values (99); end" << quint64(0)
            << unauthorized << "update gzl set";
    }
    void parameterRowReachingBeyondItsColumnsIsRefused()
    {
        QFETCH(int, fenlie);
        QFETCH(QString, gs);
        QFETCH(QString, k11);
        QFETCH(QString, tiaojian);
        QFETCH(QString, s1);
        QFETCH(QString, trigger);
        QFETCH(quint64, stepLimit);
        QFETCH(QString, refusal);
        QFETCH(QString, statementPart);
        TestStore store;
        prepare(store);
        Database& db = store.db();
        if (!trigger.isEmpty())
            db.execute(trigger);
        // Ordered last in its stage, so that earlier rows have already updated gzl.
        if (fenlie <= 1)
            addParameter(db, fenlie, 99, gs, k11, tiaojian, QStringLiteral("专业课"), QStringLiteral("本专生"), s1, 0.1,
                         QStringLiteral("20"));
        else
            addParameter(db, fenlie, 99, gs, k11, tiaojian);
        const QStringList before = state(db);

        WorkloadCalculator calculator(store.data());
        if (stepLimit)
            calculator.setStepLimit(stepLimit);
        QString last;
        db.setTracer([&](const QString& statement) { last = statement; });
        try {
            calculator.calculate(faculty());
            QFAIL("the run was not refused");
        } catch (const StoreError& e) {
            QVERIFY2(e.text().contains(refusal), qPrintable(e.text()));
            QCOMPARE(e.statement(), last);
            QVERIFY2(e.statement().contains(statementPart), qPrintable(e.statement()));
        }
        db.setTracer({});
        verifyUndone(store, before);
    }

    // Every column of the workload rows and the teachers as the target of an update: only what the
    // calculation computes may be written.
    void onlyComputedColumnsAreWritable_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<bool>("writable");
        const QSet<QString> computed{"q1",  "q11", "q12", "k11", "s1",  "k12", "kk12", "s2",
                                     "c12", "k2",  "q2",  "s3",  "k31", "q31", "q32",  "q33"};
        for (const StoreSchema::ColumnDef& c : StoreSchema::gzlColumns()) {
            const QString name = QString::fromLatin1(c.name);
            QTest::addRow("gzl.%s", c.name) << "gzl" << name << computed.contains(name);
        }
        const QSet<QString> totals{"q", "q11", "q12", "q2", "q31", "q32", "q33"};
        for (const char* name :
             {"rydm", "rymc", "bmdm", "ryzc", "ryxz", "rygw", "q", "q11", "q12", "q2", "q31", "q32", "q33"})
            QTest::addRow("rydm.%s", name) << "rydm" << QString::fromLatin1(name) << totals.contains(name);
        QTest::newRow("bmdm.bmmc") << "bmdm"
                                   << "bmmc" << false;
        QTest::newRow("sysparameter.k11") << "sysparameter"
                                          << "k11" << false;
    }
    void onlyComputedColumnsAreWritable()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(bool, writable);
        TestStore store;
        prepare(store);
        Database& db = store.db();
        const auto guard = db.guardCalculation(WorkloadCalculator::grant());
        bool written = true;
        try {
            db.execute(QStringLiteral("update %1 set %2=%2").arg(table, column));
        } catch (const StoreError& e) {
            written = false;
            QVERIFY2(e.text().contains(QStringLiteral("not authorized")), qPrintable(e.text()));
        }
        QCOMPARE(written, writable);
    }
};

QTEST_GUILESS_MAIN(TestCalcGuard)
#include "tst_calc_guard.moc"
