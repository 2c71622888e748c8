#include "store/ResultRows.h"
#include "store/Sql.h"
#include "store/SqliteDatabase.h"
#include "store/StatementShape.h"
#include "support/TestStore.h"

#include <QTest>

#include <sqlite3.h> // the authorizer's action codes

namespace {

int liveStatements(Database& db)
{
    return SqliteDatabase::of(db).liveStatements();
}

} // namespace

class TestStatements : public QObject
{
    Q_OBJECT
private slots:
    void shapes_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("shape"); // empty: no shape
        QTest::addColumn<QStringList>("values");
        QTest::newRow("condition") << QStringLiteral("select * from bmdm where bmmc='计科' and ybmc='信息学院'")
                                   << QStringLiteral("select * from bmdm where bmmc=? and ybmc=?")
                                   << QStringList{QStringLiteral("计科"), QStringLiteral("信息学院")};
        QTest::newRow("doubled quote") << QStringLiteral("delete from gzl where jiaoshi='O''Neil' and nd='x'")
                                       << QStringLiteral("delete from gzl where jiaoshi=? and nd=?")
                                       << QStringList{QStringLiteral("O'Neil"), QStringLiteral("x")};
        QTest::newRow("values") << QStringLiteral("insert into yuanbu(mc) values ('理学院')")
                                << QStringLiteral("insert into yuanbu(mc) values (?)")
                                << QStringList{QStringLiteral("理学院")};
        QTest::newRow("set") << QStringLiteral("update rydm set ryzc='教授' where rydm='01'")
                             << QStringLiteral("update rydm set ryzc=? where rydm=?")
                             << QStringList{QStringLiteral("教授"), QStringLiteral("01")};
        QTest::newRow("result column before where")
            << QStringLiteral("select 'a' as k, mc from yuanbu where mc='b'")
            << QStringLiteral("select 'a' as k, mc from yuanbu where mc=?") << QStringList{QStringLiteral("b")};
        QTest::newRow("names and comments stay")
            << QStringLiteral("select \"where\" from t /* 'x' */ where a='y' -- 'z'")
            << QStringLiteral("select \"where\" from t /* 'x' */ where a=? -- 'z'") << QStringList{QStringLiteral("y")};
        QTest::newRow("blob stays") << QStringLiteral("select * from t where a=x'00' and b='c'")
                                    << QStringLiteral("select * from t where a=x'00' and b=?")
                                    << QStringList{QStringLiteral("c")};
        QTest::newRow("keyword inside a name")
            << QStringLiteral("select 'a' from wheres where b=1") << QString() << QStringList{};
        QTest::newRow("no literal") << QStringLiteral("select * from gzl where xh=3") << QString() << QStringList{};
        QTest::newRow("own parameters") << QStringLiteral("select * from gzl where jiaoshi=? and nd='x'") << QString()
                                        << QStringList{};
        QTest::newRow("unterminated") << QStringLiteral("select * from gzl where jiaoshi='x") << QString()
                                      << QStringList{};
    }
    void shapes()
    {
        QFETCH(QString, statement);
        QFETCH(QString, shape);
        QFETCH(QStringList, values);
        const std::optional<StatementShape> got = StatementShape::of(statement);
        QCOMPARE(got.has_value(), !shape.isEmpty());
        if (!got)
            return;
        QCOMPARE(QString::fromStdString(got->text), shape);
        QStringList gotValues;
        for (const std::string& v : got->values)
            gotValues << QString::fromStdString(v);
        QCOMPARE(gotValues, values);
    }

    // Inside a reuse scope every statement gives what it gives outside one, is traced as given,
    // and statements of one shape share one compiled statement.
    void reuseGivesTheSameResults()
    {
        const QStringList names{QStringLiteral("张三"), QStringLiteral("O'Neil"), QString(), QStringLiteral("李四")};
        const auto run = [&](bool reuse, QStringList* traced) {
            TestStore store;
            Database& db = store.db();
            db.setTracer([traced](const QString& s) { traced->append(s); });
            std::optional<Database::ReuseScope> scope;
            if (reuse)
                scope.emplace(db);
            QStringList out;
            for (const QString& name : names) {
                db.execute(QStringLiteral("insert into yuanbu(mc) values (%1)").arg(Sql::quote(name)));
                db.execute(QStringLiteral("update yuanbu set mc=%1 where mc=%2")
                               .arg(Sql::quote(name + QStringLiteral("院")), Sql::quote(name)));
                const Database::Result r = db.select(
                    QStringLiteral("select mc from yuanbu where mc=%1").arg(Sql::quote(name + QStringLiteral("院"))));
                out << QString::number(r.rows.size()) + QStringLiteral(":") + r.rows.front().value(0).toString();
                out << QString::number(db.execute(
                    QStringLiteral("delete from yuanbu where mc=%1").arg(Sql::quote(name + QStringLiteral("院")))));
                out << QString::number(
                    db.hasRows(QStringLiteral("select * from yuanbu where mc=%1").arg(Sql::quote(name))));
            }
            if (reuse)
                out << QString::number(liveStatements(db));
            return out;
        };
        QStringList tracedPlain, tracedReused;
        QStringList plain = run(false, &tracedPlain);
        QStringList reused = run(true, &tracedReused);
        // Five shapes, each compiled once, however many names ran through them.
        QCOMPARE(reused.takeLast(), QStringLiteral("5"));
        QCOMPARE(reused, plain);
        QCOMPARE(tracedReused, tracedPlain);
        QVERIFY(tracedReused.contains(QStringLiteral("delete from yuanbu where mc='O''Neil院'")));
    }

    void reuseKeepsErrorsAndAuthorizer()
    {
        TestStore store;
        Database& db = store.db();
        const Database::ReuseScope scope(db);
        // A shape the store refuses (a value where only a name may stand) runs as given.
        QCOMPARE(db.select(QStringLiteral("select mc from yuanbu where mc in (select 'x' as 'y')")).rows.size(),
                 std::size_t(0));
        // The store's own refusal, with the statement as given.
        try {
            db.select(QStringLiteral("select * from nosuch where a='b'"));
            QFAIL("no error");
        } catch (const StoreError& e) {
            QVERIFY(e.statement().contains(u"a='b'"));
            QVERIFY(e.text().contains(u"nosuch"));
        }
        // Statements compiled before an authorizer came must not slip past it.
        db.execute(QStringLiteral("delete from yuanbu where mc='a'"));
        SqliteDatabase::of(db).setAuthorizer([](int action, const char*, const char*, const char*) {
            return action == SQLITE_DELETE ? SQLITE_DENY : SQLITE_OK;
        });
        QVERIFY_THROWS_EXCEPTION(StoreError, db.execute(QStringLiteral("delete from yuanbu where mc='b'")));
        SqliteDatabase::of(db).setAuthorizer({});
        QCOMPARE(db.execute(QStringLiteral("delete from yuanbu where mc='c'")), 0);
    }

    void resultRowsHoldEveryKind()
    {
        TestStore store;
        const Database::Result r = store.db().select(
            QStringLiteral("select null, 7, 2.5, '计科', x'00ff' union all select 1, -2, 0.1, '计科', x''"));
        QCOMPARE(r.rows.size(), std::size_t(2));
        QCOMPARE(r.rows.columnCount(), 5);
        const QVariantList first = r.rows.front();
        QVERIFY(!first[0].isValid());
        QCOMPARE(first[1].typeId(), int(QMetaType::LongLong));
        QCOMPARE(first[1].toLongLong(), 7);
        QCOMPARE(first[2].toDouble(), 2.5);
        QCOMPARE(first[3].toString(), QStringLiteral("计科"));
        QCOMPARE(first[4].toByteArray(), QByteArray("\x00\xff", 2));
        QCOMPARE(r.rows.value(1, 2).toDouble(), 0.1);
        QCOMPARE(r.rows.value(1, 3), r.rows.value(0, 3));
        QVERIFY(!r.rows.value(2, 0).isValid()); // past the end
        QVERIFY(!r.rows.value(0, 5).isValid());
        int n = 0;
        for (const QVariantList& row : r.rows) {
            QCOMPARE(row.size(), 5);
            ++n;
        }
        QCOMPARE(n, 2);
        QVERIFY(store.db().select(QStringLiteral("select * from yuanbu where 0")).rows.empty());
    }
};

QTEST_GUILESS_MAIN(TestStatements)
#include "tst_statements.moc"
