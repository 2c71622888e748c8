// What the engine relies on from the store: cheap existence checks through a holder and a
// trace that shows the program's statements only.
#include "CalcFixture.h"

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
};

QTEST_GUILESS_MAIN(TestCalcStore)
#include "tst_calc_store.moc"
