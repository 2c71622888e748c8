#include "store/NumberFormat.h"
#include "store/Sql.h"
#include "support/TestStore.h"

#include <QSignalSpy>
#include <QTest>

namespace {

void addRow(Database& db, int xh, const QString& teacher, const QString& fl, double r1)
{
    db.execute(QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,gm,fl,nd,r1,q11,fzs,bg) values "
                              "(%1,%2,'计算机学院','软件工程教研室',0,%3,'2026-2027学年',%4,3.14159,2.5,1)")
                   .arg(xh)
                   .arg(Sql::quote(teacher), Sql::quote(fl), NumberFormat::general(r1)));
}

QStringList column(Query* q, const QString& field)
{
    QStringList out;
    for (q->first(); !q->eof(); q->next())
        out << q->fieldByName(field).asString();
    return out;
}

} // namespace

class TestHolders : public QObject
{
    Q_OBJECT
private slots:
    void generalNumberText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("general");
        QTest::addColumn<QString>("twoDecimals");
        QTest::newRow("whole") << 12.0 << QStringLiteral("12") << QStringLiteral("12");
        QTest::newRow("half") << 2.5 << QStringLiteral("2.5") << QStringLiteral("2.5");
        QTest::newRow("thirds") << 64.0 / 3 << QStringLiteral("21.3333333333333") << QStringLiteral("21.33");
        QTest::newRow("pi") << 3.14159 << QStringLiteral("3.14159") << QStringLiteral("3.14");
        QTest::newRow("zero") << 0.0 << QStringLiteral("0") << QStringLiteral("0");
        QTest::newRow("negative zero") << -0.0 << QStringLiteral("0") << QStringLiteral("0");
        QTest::newRow("tenth sum") << 0.1 + 0.2 << QStringLiteral("0.3") << QStringLiteral("0.3");
        QTest::newRow("decimal half up") << 2.675 << QStringLiteral("2.675") << QStringLiteral("2.68");
        QTest::newRow("negative") << -1.005 << QStringLiteral("-1.005") << QStringLiteral("-1.01");
        QTest::newRow("tiny") << 0.004 << QStringLiteral("0.004") << QStringLiteral("0");
        QTest::newRow("hundredths") << 12.34 << QStringLiteral("12.34") << QStringLiteral("12.34");
        QTest::newRow("large") << 21474836.47 << QStringLiteral("21474836.47") << QStringLiteral("21474836.47");
    }
    void generalNumberText()
    {
        QFETCH(double, value);
        QFETCH(QString, general);
        QFETCH(QString, twoDecimals);
        QCOMPARE(NumberFormat::general(value), general);
        QCOMPARE(NumberFormat::twoDecimals(value), twoDecimals);
        QCOMPARE(Field(QStringLiteral("x"), value).asString(), general);
    }

    void nullsAndConversions()
    {
        const Field null(QStringLiteral("x"), QVariant());
        QCOMPARE(null.asString(), QString());
        QCOMPARE(null.asInteger(), 0);
        QCOMPARE(null.asFloat(), 0.0);
        QCOMPARE(null.asBoolean(), false);
        QCOMPARE(Field(QStringLiteral("x"), 1234.5).asInteger(), 1234); // half to even
        QCOMPARE(Field(QStringLiteral("x"), 1235.5).asInteger(), 1236);
        QCOMPARE(Field(QStringLiteral("x"), QStringLiteral("60")).asFloat(), 60.0);
        QCOMPARE(Field(QStringLiteral("x"), qint64(1)).asBoolean(), true);
    }

    void emptyResults()
    {
        TestStore store;
        Query* q = store.data().xssj2;
        q->setStatement({QStringLiteral("select max(xh) as xh from gzl")});
        q->open();
        QCOMPARE(q->recordCount(), 1);
        QCOMPARE(q->fieldByName(QStringLiteral("xh")).asInteger(), 0);
        QCOMPARE(q->fieldByName(QStringLiteral("XH")).asString(), QString());

        q->setStatement({QStringLiteral("select sum(q11)*100 as q11 from gzl where jiaoshi='nobody'")});
        q->open();
        QCOMPARE(q->fieldByName(QStringLiteral("q11")).asFloat(), 0.0);

        q->setStatement({QStringLiteral("select * from gzl")});
        q->open();
        QCOMPARE(q->recordCount(), 0);
        QVERIFY(q->eof());
        QVERIFY(q->bof());
        QCOMPARE(q->fieldByName(QStringLiteral("jiaoshi")).asString(), QString());
        QVERIFY_THROWS_EXCEPTION(StoreError, q->fieldByName(QStringLiteral("nosuchfield")));
    }

    void statementLinesAndCursor()
    {
        TestStore store;
        for (int i = 1; i <= 3; ++i)
            addRow(store.db(), i * 10, QStringLiteral("张三"), QStringLiteral("理论实验"), i);
        Query* q = store.data().dtbmdm1;
        q->setStatement({QStringLiteral("delete from gzl"), QStringLiteral("where xh='20'")});
        QCOMPARE(q->text(), QStringLiteral("delete from gzl\nwhere xh='20'"));
        QCOMPARE(q->execSql(), 1);

        q->setStatement({QStringLiteral("select * from gzl"), QStringLiteral("order by xh")});
        q->open();
        QCOMPARE(q->recordCount(), 2);
        QCOMPARE(column(q, QStringLiteral("Xh")), QStringList({QStringLiteral("10"), QStringLiteral("30")}));
        QVERIFY(q->eof());
        q->last();
        QCOMPARE(q->fieldByName(QStringLiteral("xh")).asInteger(), 30);
        q->prior();
        QVERIFY(!q->bof());
        q->prior();
        QVERIFY(q->bof());
        QCOMPARE(q->fieldByName(QStringLiteral("xh")).asInteger(), 10);
    }

    void joinFieldsFirstMatchAndCaseBlind()
    {
        TestStore store;
        store.db().execute(
            QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('S1','软件工程教研室','计算机学院')"));
        store.db().execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm,q) values ('T1','张三','S1',12.5)"));
        Query* q = store.data().dtrydm;
        q->setStatement(
            {QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and  bmdm.bmmc='软件工程教研室'")});
        q->open();
        QCOMPARE(q->recordCount(), 1);
        QCOMPARE(q->fieldByName(QStringLiteral("Rymc")).asString(), QStringLiteral("张三"));
        QCOMPARE(q->fieldByName(QStringLiteral("BMMC")).asString(), QStringLiteral("软件工程教研室"));
        QCOMPARE(q->fieldByName(QStringLiteral("Q")).asFloat(), 12.5);
        QCOMPARE(q->fieldByName(QStringLiteral("bmdm")).asString(), QStringLiteral("S1"));
        // The first bmdm column is the teacher's: make the two differ to tell them apart.
        q->setStatement({QStringLiteral(
            "select rydm.rydm, 'teacher' as bmdm, bmdm.bmdm from rydm,bmdm where rydm.bmdm=bmdm.bmdm")});
        q->open();
        QCOMPARE(q->fieldByName(QStringLiteral("BMDM")).asString(), QStringLiteral("teacher"));
    }

    void bookmarksSurviveReopen()
    {
        TestStore store;
        for (int i = 1; i <= 5; ++i)
            addRow(store.db(), i, QStringLiteral("张三"), QStringLiteral("理论实验"), i);
        Query* q = store.data().dtllsj;
        q->setStatement({QStringLiteral("select * from gzl where fl='理论实验' order by xh")});
        q->open();
        q->moveTo(3);
        Query::Bookmark b = q->getBookmark();
        q->close();
        q->open();
        QCOMPARE(q->currentRow(), 0);
        q->gotoBookmark(b);
        QCOMPARE(q->fieldByName(QStringLiteral("xh")).asInteger(), 4);

        // The removal pattern: delete the current row, step back, bookmark, re-open, return.
        q->moveTo(2);
        const int key = q->fieldByName(QStringLiteral("xh")).asInteger();
        store.data().dtbmdm1->setStatement(
            {QStringLiteral("delete from gzl"), QStringLiteral("where xh='%1'").arg(key)});
        store.data().dtbmdm1->execSql();
        q->prior();
        QVERIFY(!q->bof());
        b = q->getBookmark();
        q->close();
        q->open();
        q->gotoBookmark(b);
        QCOMPARE(q->recordCount(), 4);
        QCOMPARE(q->fieldByName(QStringLiteral("xh")).asInteger(), 2);

        // A row inserted before the bookmarked one does not move the bookmark off its row.
        addRow(store.db(), 0, QStringLiteral("张三"), QStringLiteral("理论实验"), 0);
        q->close();
        q->open();
        q->gotoBookmark(b);
        QCOMPARE(q->fieldByName(QStringLiteral("xh")).asInteger(), 2);
    }

    void declaredFieldsOfWorkloadViews()
    {
        if (!TestStore::server().isEmpty())
            QSKIP("reads the desktop store's own catalogue");
        TestStore store;
        addRow(store.db(), 1, QStringLiteral("张三"), QStringLiteral("理论实验"), 95);
        Query* q = store.data().dtllsj;
        q->setStatement({QStringLiteral("select * from gzl where fl='理论实验' and nd like '%2026-2027学年%'")});
        q->open();
        QCOMPARE(q->fieldCount(), 40);
        QCOMPARE(q->fieldName(35), QStringLiteral("FL"));
        QCOMPARE(q->fieldByName(QStringLiteral("r1")).asFloat(), 95.0);

        q->setStatement({QStringLiteral("select xh,jiaoshi from gzl")}); // 38 declared fields missing
        QVERIFY_THROWS_EXCEPTION(StoreError, q->open());
        QVERIFY(!q->isActive());

        // The same table with one text field a byte wider fails too.
        QString create = store.scalar(QStringLiteral("select sql from sqlite_master where name='gzl'"));
        QVERIFY(create.contains(u"jiaoshi VARCHAR(15)"));
        create.replace(QStringLiteral("CREATE TABLE gzl"), QStringLiteral("CREATE TABLE gzl_wide"))
            .replace(QStringLiteral("jiaoshi VARCHAR(15)"), QStringLiteral("jiaoshi VARCHAR(16)"));
        store.db().execute(create);
        q->setStatement({QStringLiteral("select * from gzl_wide")});
        QVERIFY_THROWS_EXCEPTION(StoreError, q->open());
        q->setStatement({QStringLiteral("select * from gzl")});
        q->open();
        QVERIFY(q->isActive());
    }

    void displayFormatsOfGrids()
    {
        TestStore store;
        addRow(store.db(), 7, QStringLiteral("张三"), QStringLiteral("理论实验"), 95);
        Query* view = store.data().dtllsj;
        view->setStatement({QStringLiteral("select * from gzl")});
        view->open();
        DataSource* grid = store.data().dbllsj;
        grid->setColumns({{QStringLiteral("Xh"), QStringLiteral("序号")},
                          {QStringLiteral("q11"), QStringLiteral("课堂工作量(Q11)")},
                          {QStringLiteral("fzs"), QStringLiteral("分组数")},
                          {QStringLiteral("Bg"), QStringLiteral("实验报告")}});
        QCOMPARE(grid->rowCount(), 1);
        QCOMPARE(grid->headerData(1, Qt::Horizontal).toString(), QStringLiteral("课堂工作量(Q11)"));
        QCOMPARE(grid->displayText(0, 0), QStringLiteral("7"));
        QCOMPARE(grid->displayText(0, 1), QStringLiteral("3.14"));
        QCOMPARE(grid->displayText(0, 2), QStringLiteral("2.5"));
        QCOMPARE(grid->displayText(0, 3), QStringLiteral("1"));

        // Undeclared holders show general form; a re-open shows the new result at once.
        Query* teachers = store.data().dtrydm;
        teachers->setStatement({QStringLiteral("select q11 from gzl")});
        teachers->open();
        QCOMPARE(store.data().dbrydm->displayText(0, 0), QStringLiteral("3.14159"));
        QSignalSpy reset(store.data().dbrydm, &QAbstractItemModel::modelReset);
        addRow(store.db(), 8, QStringLiteral("李四"), QStringLiteral("理论实验"), 1);
        teachers->close();
        teachers->open();
        QVERIFY(reset.count() >= 1);
        QCOMPARE(store.data().dbrydm->rowCount(), 2);
    }

    void settingsRecord()
    {
        TestStore store;
        TableObject* t = store.data().Tbsystem;
        t->activate();
        QCOMPARE(t->fieldByName(QStringLiteral("nd")).asString(), QStringLiteral("2026-2027学年"));
        QVERIFY_THROWS_EXCEPTION(StoreError, t->setFieldText(QStringLiteral("yx"), QStringLiteral("x")));
        t->edit();
        t->setFieldText(QStringLiteral("Nd"), QStringLiteral("2025-2026学年"));
        t->setFieldText(QStringLiteral("yx"), QStringLiteral("计算机学院"));
        QCOMPARE(store.scalar(QStringLiteral("select Nd from system")), QStringLiteral("2026-2027学年")); // not yet
        t->post();
        QVERIFY(!t->isEditing());
        QCOMPARE(store.scalar(QStringLiteral("select Nd||'/'||yx from system")),
                 QStringLiteral("2025-2026学年/计算机学院"));

        t->edit();
        t->setFieldText(QStringLiteral("jysmc"), QStringLiteral("欧阳建国和平人民一二三四五六七八九十")); // 40 bytes
        QVERIFY_THROWS_EXCEPTION(StoreError, t->post());
        QCOMPARE(store.scalar(QStringLiteral("select jysmc from system")), QString());
    }

    void statementsAreObservable()
    {
        TestStore store;
        QStringList seen;
        store.db().setTracer([&](const QString& s) { seen << s; });
        Query* q = store.data().xssj2;
        q->setStatement({QStringLiteral("select * from user1 where (name='001')"), QStringLiteral("and (gl1=1)")});
        q->open();
        QCOMPARE(q->recordCount(), 1);
        QCOMPARE(seen, QStringList{QStringLiteral("select * from user1 where (name='001')\nand (gl1=1)")});
    }
};

QTEST_GUILESS_MAIN(TestHolders)
#include "tst_holders.moc"
