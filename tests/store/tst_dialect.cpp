#include "store/PostgresDialect.h"
#include "store/SqlDialect.h"
#include "support/TestStore.h"

#include <QTest>

namespace {

QStringList columns(const QString& table)
{
    if (table == u"rydm")
        return {QStringLiteral("rydm"), QStringLiteral("rymc"), QStringLiteral("bmdm"), QStringLiteral("q")};
    if (table == u"bmdm")
        return {QStringLiteral("bmdm"), QStringLiteral("bmmc"), QStringLiteral("ybmc")};
    return {};
}

} // namespace

class TestDialect : public QObject
{
    Q_OBJECT
private slots:
    void rewrite_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("expected");
        const QString join = QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and ");
        QTest::newRow("condition") << join + QStringLiteral("bmdm='0101'") << join + QStringLiteral("rydm.bmdm='0101'");
        QTest::newRow("ordering") << join + QStringLiteral("bmdm.ybmc='x' order by bmdm,rydm")
                                  << join + QStringLiteral("bmdm.ybmc='x' order by rydm.bmdm,rydm");
        QTest::newRow("literal untouched")
            << join + QStringLiteral("bmmc='bmdm and bmdm'") << join + QStringLiteral("bmmc='bmdm and bmdm'");
        QTest::newRow("quote inside literal") << join + QStringLiteral("bmmc='a''bmdm' and bmdm='1'")
                                              << join + QStringLiteral("bmmc='a''bmdm' and rydm.bmdm='1'");
        QTest::newRow("line break")
            << QStringLiteral("select * from rydm,bmdm\nwhere rydm.bmdm=bmdm.bmdm\norder by bmdm")
            << QStringLiteral("select * from rydm,bmdm\nwhere rydm.bmdm=bmdm.bmdm\norder by rydm.bmdm");
        QTest::newRow("case kept") << QStringLiteral("SELECT * FROM rydm, bmdm WHERE BMDM='1'")
                                   << QStringLiteral("SELECT * FROM rydm, bmdm WHERE rydm.BMDM='1'");
        QTest::newRow("single table") << QStringLiteral("select bmdm,bmmc from bmdm where bmdm='1'")
                                      << QStringLiteral("select bmdm,bmmc from bmdm where bmdm='1'");
        QTest::newRow("unshared column") << join + QStringLiteral("rymc='x'") << join + QStringLiteral("rymc='x'");
        QTest::newRow("alias left") << QStringLiteral("select bmdm as bmdm from rydm,bmdm")
                                    << QStringLiteral("select rydm.bmdm as bmdm from rydm,bmdm");
        QTest::newRow("nested select untouched")
            << QStringLiteral("select * from rydm,bmdm where bmdm in (select bmdm from bmdm)")
            << QStringLiteral("select * from rydm,bmdm where bmdm in (select bmdm from bmdm)");
    }
    void rewrite()
    {
        QFETCH(QString, given);
        QFETCH(QString, expected);
        QCOMPARE(SqlDialect::resolveSharedColumns(given, columns), expected);
    }

    // The statements of the teacher/section join run on the store as written.
    void joinRunsOnTheStore()
    {
        TestStore store;
        store.db().execute(
            QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('0101','软件工程教研室','计算机学院')"));
        store.db().execute(
            QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('0102','网络教研室','计算机学院')"));
        store.db().execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm) values ('B2','张三','0102')"));
        store.db().execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm) values ('A1','李四','0101')"));
        store.db().execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm) values ('A0','王五','0101')"));

        Query* q = store.data().dtrydm;
        q->setStatement({QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and bmdm='0101'")});
        q->open();
        QCOMPARE(q->recordCount(), 2);

        q->setStatement({QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm order by bmdm,rydm")});
        q->open();
        QStringList order;
        for (q->first(); !q->eof(); q->next())
            order << q->fieldByName(QStringLiteral("rydm")).asString();
        QCOMPARE(order, QStringList({QStringLiteral("A0"), QStringLiteral("A1"), QStringLiteral("B2")}));
    }

    // The server reads the desktop store's numbers and patterns as the desktop store does.
    void serverReading_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("expected");
        QTest::newRow("decimal") << "select 0.15*q from rydm"
                                 << "select 0.15::float8*q from rydm";
        QTest::newRow("exponent with sign") << "select q+1e-7, q-2E+3 from rydm"
                                            << "select q+1e-7::float8, q-2E+3::float8 from rydm";
        QTest::newRow("subtraction after a hexadecimal") << "select 0x1e-5 from rydm"
                                                         << "select 30-5 from rydm";
        QTest::newRow("beyond every double") << "select 1e999 from rydm"
                                             << "select 'Infinity'::float8 from rydm";
        QTest::newRow("whole number") << "select q*2 from rydm"
                                      << "select q*2 from rydm";
        QTest::newRow("byte order") << "select * from rydm order by rymc collate binary"
                                    << "select * from rydm order by rymc collate \"C\"";
        QTest::newRow("like") << "select * from rydm where rymc like '%a%' order by rydm"
                              << "select * from rydm where rymc ilike '%a%' order by rydm";
        QTest::newRow("rows of a table in stored order") << "select * from gzl where fl='1';"
                                                         << "select * from gzl where fl='1' ORDER BY gzl.rowid";
        QTest::newRow("rows of a named table") << "select g.kname from gzl g"
                                               << "select g.kname from gzl g ORDER BY g.rowid";
        QTest::newRow("an aggregate keeps no order") << "select count(*) from gzl"
                                                     << "select count(*) from gzl";
        QTest::newRow("an aggregate inside a function") << "select round(total(q1),2) from gzl"
                                                        << "select round(total(q1),2) from gzl";
        QTest::newRow("two tables keep theirs") << "select * from rydm, bmdm where rydm.bmdm=bmdm.bmdm"
                                                << "select * from rydm, bmdm where rydm.bmdm=bmdm.bmdm";
        QTest::newRow("a table without row numbers") << "select * from bmdm"
                                                     << "select * from bmdm";
        QTest::newRow("a statement cut short") << "select * from gzl where fl='1' and "
                                               << "select * from gzl where fl='1' and ";
    }
    void serverReading()
    {
        QFETCH(QString, given);
        QFETCH(QString, expected);
        PostgresDialect::Names names;
        names.columnsOf = columns;
        names.columns = {QStringLiteral("rydm"), QStringLiteral("rymc"), QStringLiteral("bmdm"), QStringLiteral("q")};
        names.numbered = {QStringLiteral("gzl")};
        QCOMPARE(PostgresDialect::translate(given, names, false), expected);
    }
};

QTEST_GUILESS_MAIN(TestDialect)
#include "tst_dialect.moc"
