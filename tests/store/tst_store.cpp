#include "store/PasswordHash.h"
#include "store/Sql.h"
#include "store/StoreSchema.h"
#include "store/StoreSetup.h"
#include "store/Transaction.h"
#include "support/TestStore.h"

#include <QTest>

namespace {

const QString InsertTeacherRow = QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,fl,nd) values ");

QString teacherRow(int xh, const QString& teacher)
{
    return InsertTeacherRow + QStringLiteral("(%1,%2,'计算机学院','软件工程教研室','理论实验','2026-2027学年')")
                                  .arg(xh)
                                  .arg(Sql::quote(teacher));
}

} // namespace

class TestStoreTables : public QObject
{
    Q_OBJECT
private slots:
    void freshStoreHoldsTheDefaults()
    {
        TestStore store;
        QCOMPARE(store.count(QStringLiteral("user1")), 2);
        QCOMPARE(store.scalar(QStringLiteral("select gl1 from user1 where name='001'")), QStringLiteral("1"));
        QCOMPARE(store.scalar(QStringLiteral("select gl1 from user1 where name='002'")), QStringLiteral("0"));
        // Passwords are kept as salted hashes, never as typed.
        QCOMPARE(store.count(QStringLiteral("user1"), QStringLiteral("password1='123456'")), 0);
        const Database::Result passwords = store.db().select(QStringLiteral("select password1 from user1"));
        QCOMPARE(int(passwords.rows.size()), 2);
        for (const QVariantList& row : passwords.rows)
            QVERIFY(PasswordHash::verify(row.value(0).toString(), QStringLiteral("123456")));
        QCOMPARE(store.count(QStringLiteral("niandu")), 4);
        QCOMPARE(store.count(QStringLiteral("niandu"), QStringLiteral("length(cast(nd as blob))<10")), 0);
        QCOMPARE(store.scalar(QStringLiteral("select Nd from system")), QStringLiteral("2026-2027学年"));
        QCOMPARE(store.count(QStringLiteral("system")), 1);
        QCOMPARE(store.count(QStringLiteral("sysparameter")), 34);
        QCOMPARE(store.count(QStringLiteral("sysparameter"), QStringLiteral("fenlie=0")), 6);
        QCOMPARE(store.scalar(QStringLiteral("select k11 from sysparameter where fenlie=2 and sunxu=2")),
                 QStringLiteral("1+(r1-s1)/s1*0.5"));
        QCOMPARE(store.scalar(QStringLiteral("select tiaojian from sysparameter where fenlie=0 and sunxu=3")),
                 QStringLiteral("fl='理论实验' and yan<>'研究生'"));
        QCOMPARE(store.scalar(QStringLiteral("select k12 from sysparameter where fenlie=2 and sunxu=1")),
                 QStringLiteral("0"));
        QCOMPARE(store.scalar(QStringLiteral("PRAGMA user_version")), QString::number(StoreSchema::Version));
        QCOMPARE(store.scalar(QStringLiteral("PRAGMA journal_mode")), QStringLiteral("wal"));
        QCOMPARE(store.count(QStringLiteral("gzl_temp")) + store.count(QStringLiteral("dbtemp")) +
                     store.count(QStringLiteral("temp")),
                 0);
    }

    void existingStoreIsNotReplaced()
    {
        TestStore store;
        store.db().execute(teacherRow(1, QStringLiteral("张三")));
        QVERIFY_THROWS_EXCEPTION(StoreError, StoreSetup::createStore(store.dir(), false));
        QCOMPARE(store.count(QStringLiteral("gzl")), 1);
    }

    void olderLayoutIsBroughtUpToDate()
    {
        QTemporaryDir dir;
        StoreSetup::createStore(dir.path(), false);
        {
            auto db = Database::open(dir.path());
            // The first layout checked the export's work tables like the workload table.
            db->execute(QStringLiteral("DROP TABLE gzl_temp"));
            db->execute(QStringLiteral("CREATE TABLE gzl_temp (xh INTEGER, jiaoshi VARCHAR(15) COLLATE gbk "
                                       "CHECK(gbk_len(jiaoshi)<=15))"));
            db->execute(QStringLiteral("DROP INDEX bmdm_name"));
            db->execute(QStringLiteral("DROP INDEX yuanbu_name"));
            db->execute(QStringLiteral("DROP INDEX gzl_year"));
            db->execute(QStringLiteral("DROP TABLE jsjl"));
            db->execute(QStringLiteral("PRAGMA user_version=1"));
        }
        auto db = Database::open(dir.path());
        auto scalar = [&](const QString& sql) { return db->select(sql).rows.front().value(0).toString(); };
        QCOMPARE(scalar(QStringLiteral("PRAGMA user_version")), QString::number(StoreSchema::Version));
        const QString sql = scalar(QStringLiteral("select sql from sqlite_master where name='gzl_temp'"));
        QVERIFY(!sql.contains(u"CHECK"));
        QCOMPARE(scalar(QStringLiteral("select count(*) from pragma_table_info('gzl_temp')")), QStringLiteral("40"));
        QVERIFY(scalar(QStringLiteral("select sql from sqlite_master where name='gzl'")).contains(u"CHECK"));
        QCOMPARE(scalar(QStringLiteral("select count(*) from user1")), QStringLiteral("2"));
        // Layout 6: the years of the workload rows are listed through an index, which a look-up of
        // a teacher's rows of a year never takes (it would walk every row of the year).
        QCOMPARE(scalar(QStringLiteral("select count(*) from sqlite_master where name='gzl_year'")),
                 QStringLiteral("1"));
        const Database::Result plan =
            db->select(QStringLiteral("explain query plan delete from gzl where jiaoshi='张三' and "
                                      "jiaoyanshi='数学教研室' and nd='2026-2027学年'"));
        QVERIFY(!plan.rows.empty());
        for (const QVariantList& step : plan.rows)
            QVERIFY2(!step.value(3).toString().contains(u"gzl_year"), qPrintable(step.value(3).toString()));
        // Layout 7: the calculations run are recorded; an older store has none recorded.
        QCOMPARE(db->columnsOf(QStringLiteral("jsjl")),
                 (QStringList{"nd", "jb", "yuanbu", "jiaoyanshi", "jiaoshi", "sj"}));
        QCOMPARE(scalar(QStringLiteral("select count(*) from jsjl")), QStringLiteral("0"));
        // Layout 3: teachers are found by section name through an index.
        QCOMPARE(scalar(QStringLiteral("select tbl_name from sqlite_master where name='bmdm_name'")),
                 QStringLiteral("bmdm"));

        db->execute(QStringLiteral("PRAGMA user_version=99"));
        db.reset();
        QVERIFY_THROWS_EXCEPTION(StoreError, Database::open(dir.path()));
    }

    void facultyNamesBecomeAKey_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("distinct names") << QStringList{"理学院", "文学院"} << QStringList{"理学院", "文学院"};
        // Identical rows of one faculty: the first stays, the others go; every name is kept.
        QTest::newRow("a name twice and thrice")
            << QStringList{"理学院", "文学院", "理学院", "工学院", "文学院", "理学院"}
            << QStringList{"理学院", "文学院", "工学院"};
    }
    void facultyNamesBecomeAKey()
    {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, kept);
        QTemporaryDir dir;
        StoreSetup::createStore(dir.path(), false);
        {
            auto db = Database::open(dir.path());
            db->execute(QStringLiteral("DROP INDEX yuanbu_name"));
            for (const QString& name : stored)
                db->execute(QStringLiteral("insert into yuanbu (mc) values (%1)").arg(Sql::quote(name)));
            db->execute(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('01','数学教研室','理学院')"));
            db->execute(QStringLiteral("PRAGMA user_version=3"));
        }
        auto db = Database::open(dir.path());
        QCOMPARE(db->select(QStringLiteral("PRAGMA user_version")).rows.front().value(0).toInt(), StoreSchema::Version);
        QStringList names;
        const Database::Result faculties = db->select(QStringLiteral("select mc from yuanbu"));
        for (std::size_t i = 0; i < faculties.rows.size(); ++i)
            names << faculties.rows.row(i).value(0).toString();
        QCOMPARE(names, kept);
        QCOMPARE(db->select(QStringLiteral("select ybmc from bmdm")).rows.front().value(0).toString(),
                 QStringLiteral("理学院"));
        QVERIFY_THROWS_EXCEPTION(StoreError, db->execute(QStringLiteral("insert into yuanbu (mc) values ('理学院')")));
        QVERIFY_THROWS_EXCEPTION(StoreError,
                                 db->execute(QStringLiteral("update yuanbu set mc='理学院' where mc='文学院'")));
        QCOMPARE(db->execute(QStringLiteral("insert into yuanbu (mc) values ('农学院')")), 1);
    }

    void missingStoreIsAnError()
    {
        QTemporaryDir empty;
        QVERIFY(!Database::exists(empty.path()));
        QVERIFY_THROWS_EXCEPTION(StoreError, Database::open(empty.path()));
        QVERIFY(!Database::exists(empty.path())); // opening never creates one
    }

    void textWidthsInGbkBytes_data()
    {
        QTest::addColumn<QString>("teacher");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("7 chinese, 14 bytes") << QStringLiteral("欧阳建国和平人") << true;
        QTest::newRow("15 ascii") << QStringLiteral("abcdefghijklmno") << true;
        QTest::newRow("7 chinese + 1 ascii, 15 bytes") << QStringLiteral("欧阳建国和平人a") << true;
        QTest::newRow("8 chinese, 16 bytes") << QStringLiteral("欧阳建国和平人民") << false;
        QTest::newRow("16 ascii") << QStringLiteral("abcdefghijklmnop") << false;
        QTest::newRow("symbols 14 bytes") << QStringLiteral("×·é°ΑΒΓ") << true;
        QTest::newRow("symbols 16 bytes") << QStringLiteral("×·é°ΑΒΓΔ") << false;
        QTest::newRow("no GBK form") << QStringLiteral("张\U0001F600") << false;
    }
    void textWidthsInGbkBytes()
    {
        QFETCH(QString, teacher);
        QFETCH(bool, accepted);
        TestStore store;
        bool refused = false;
        try {
            store.db().execute(teacherRow(1, teacher));
        } catch (const StoreError& e) {
            refused = true;
            QVERIFY(!e.text().isEmpty());
            QVERIFY(e.statement().contains(u"insert into gzl"));
        }
        QCOMPARE(!refused, accepted);
        QCOMPARE(store.count(QStringLiteral("gzl")), accepted ? 1 : 0);
        if (accepted)
            QCOMPARE(store.scalar(QStringLiteral("select jiaoshi from gzl")), teacher);
    }

    void numbersRefuseText_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("accepted");
        const QString base = QStringLiteral("insert into gzl (xh,jiaoshi,r1,gm) values ");
        QTest::newRow("numbers") << base + QStringLiteral("(1,'a',12.5,1)") << true;
        QTest::newRow("numeric text") << base + QStringLiteral("(1,'a','12',0)") << true;
        QTest::newRow("word in number") << base + QStringLiteral("(1,'a','abc',0)") << false;
        QTest::newRow("empty text in number") << base + QStringLiteral("(1,'a','',0)") << false;
        QTest::newRow("fraction in xh") << base + QStringLiteral("(1.5,'a',1,0)") << false;
        QTest::newRow("gm beyond 16 bits") << base + QStringLiteral("(1,'a',1,40000)") << false;
        QTest::newRow("xh beyond 32 bits") << base + QStringLiteral("(3000000000,'a',1,0)") << false;
        QTest::newRow("blank numbers") << base + QStringLiteral("(null,'a',null,null)") << true;
    }
    void numbersRefuseText()
    {
        QFETCH(QString, statement);
        QFETCH(bool, accepted);
        TestStore store;
        bool ok = true;
        try {
            store.db().execute(statement);
        } catch (const StoreError&) {
            ok = false;
        }
        QCOMPARE(ok, accepted);
    }

    void duplicateCodesAreRefused()
    {
        TestStore store;
        store.db().execute(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('01','a','b')"));
        QVERIFY_THROWS_EXCEPTION(
            StoreError, store.db().execute(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('01','c','d')")));
        store.db().execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm) values ('123456789012345','a','01')"));
        QVERIFY_THROWS_EXCEPTION(
            StoreError, store.db().execute(
                            QStringLiteral("insert into rydm (rydm,rymc,bmdm) values ('123456789012345','b','01')")));
        QCOMPARE(store.count(QStringLiteral("rydm")), 1);
    }

    void quotedTextStaysOneLiteral()
    {
        TestStore store;
        const QString name = QStringLiteral("O'Neil");
        store.db().execute(teacherRow(1, name));
        QCOMPARE(store.scalar(QStringLiteral("select jiaoshi from gzl where jiaoshi=%1").arg(Sql::quote(name))), name);
        QCOMPARE(Sql::quote(QStringLiteral("a'b''c")), QStringLiteral("'a''b''''c'"));
        QCOMPARE(Sql::quote(QStringLiteral("张三")), QStringLiteral("'张三'"));
        const QString injection = QStringLiteral("' or '1'='1");
        QCOMPARE(store.count(QStringLiteral("gzl"), QStringLiteral("jiaoshi=%1").arg(Sql::quote(injection))), 0);
    }

    void integerColumnMatchesQuotedNumber()
    {
        TestStore store;
        store.db().execute(teacherRow(12, QStringLiteral("张三")));
        store.db().execute(teacherRow(120, QStringLiteral("李四")));
        QCOMPARE(store.count(QStringLiteral("gzl"), QStringLiteral("xh='12'")), 1);
        QCOMPARE(store.db().execute(QStringLiteral("delete from gzl\nwhere xh='12'")), 1);
        QCOMPARE(store.scalar(QStringLiteral("select jiaoshi from gzl")), QStringLiteral("李四"));
    }

    void namesOrderInGbk()
    {
        TestStore store;
        int xh = 0;
        for (const char* n : {"张三", "王五", "孙七", "李四"})
            store.db().execute(teacherRow(++xh, QString::fromUtf8(n)));
        const Database::Result r = store.db().select(QStringLiteral("select jiaoshi from gzl order by jiaoshi"));
        QStringList names;
        for (const QVariantList& row : r.rows)
            names << row.value(0).toString();
        QCOMPARE(names, QStringList({QStringLiteral("李四"), QStringLiteral("孙七"), QStringLiteral("王五"),
                                     QStringLiteral("张三")}));
        // Equality still means the same text.
        QCOMPARE(store.count(QStringLiteral("gzl"), QStringLiteral("jiaoshi='王五'")), 1);
    }

    void rolledBackTransactionLeavesNothing()
    {
        TestStore store;
        {
            Transaction tx(store.db());
            store.db().execute(teacherRow(1, QStringLiteral("张三")));
            store.db().execute(QStringLiteral("update sysparameter set k12=9"));
            QVERIFY_THROWS_EXCEPTION(StoreError, store.db().execute(teacherRow(2, QStringLiteral("欧阳建国和平人民"))));
        } // no commit: everything since the start is undone
        QCOMPARE(store.count(QStringLiteral("gzl")), 0);
        QCOMPARE(store.count(QStringLiteral("sysparameter"), QStringLiteral("k12=9")), 0);
        QVERIFY(!store.db().inTransaction());

        {
            Transaction outer(store.db());
            store.db().execute(teacherRow(1, QStringLiteral("张三")));
            {
                Transaction inner(store.db());
                store.db().execute(teacherRow(2, QStringLiteral("李四")));
            }
            outer.commit();
        }
        QCOMPARE(store.count(QStringLiteral("gzl")), 1);
    }

    void oneStatementAtATime()
    {
        TestStore store;
        QVERIFY_THROWS_EXCEPTION(StoreError,
                                 store.db().execute(QStringLiteral("delete from gzl; delete from sysparameter")));
        QCOMPARE(store.count(QStringLiteral("sysparameter")), 34);
        store.db().execute(QStringLiteral("delete from gzl;  -- done"));
    }

    void stagingTablesResolveUnqualified()
    {
        TestStore store;
        store.db().execute(QStringLiteral("insert into dbtemp (xh,jiaoshi) values (1,'教师')"));
        store.db().execute(QStringLiteral("insert into temp (xh,jiaoshi) values (2,'张三')"));
        QCOMPARE(store.count(QStringLiteral("dbtemp"), QStringLiteral("jiaoshi<>'教师'")), 0);
        QCOMPARE(store.count(QStringLiteral("temp"), QStringLiteral("jiaoshi<>'教师'")), 1);
        QCOMPARE(store.count(QStringLiteral("main.sqlite_master"), QStringLiteral("name in ('dbtemp','temp')")), 0);
    }
};

QTEST_GUILESS_MAIN(TestStoreTables)
#include "tst_store.moc"
