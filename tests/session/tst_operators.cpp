#include "session/Operators.h"
#include "session/Session.h"
#include "store/PasswordHash.h"
#include "store/StoreSchema.h"
#include "support/TestStore.h"

#include <QTest>

class TestOperators : public QObject
{
    Q_OBJECT
private slots:
    // A store of the layout before hashes keeps its passwords in clear text; opening it converts
    // every one once, and the operators log in with what they always typed.
    void clearTextPasswordsAreHashedOnce()
    {
        TestStore store;
        Database& db = store.db();
        db.execute(QStringLiteral("DROP TABLE user1"));
        db.execute(QStringLiteral("CREATE TABLE user1 (name VARCHAR(20) CHECK(gbk_len(name)<=20), password1 "
                                  "VARCHAR(20) CHECK(gbk_len(password1)<=20), gl1 BOOLEAN, gl2 BOOLEAN, gl3 BOOLEAN, "
                                  "gl4 BOOLEAN, usergl BOOLEAN, gl31 VARCHAR(20))"));
        db.execute(QStringLiteral("insert into user1 (name,password1,gl1) values ('001','123456',1), "
                                  "('002',' 带空格 ',0), ('003','',0)"));
        db.execute(QStringLiteral("PRAGMA user_version=4")); // the layout before hashes

        TestStore::Reopened upgraded(store.dir());
        QCOMPARE(store.scalar(QStringLiteral("PRAGMA user_version")), QString::number(StoreSchema::Version));
        const Database::Result rows = db.select(QStringLiteral("select name, password1 from user1 order by name"));
        QCOMPARE(int(rows.rows.size()), 3);
        for (const QVariantList& row : rows.rows) {
            const QString stored = row.value(1).toString();
            QVERIFY2(PasswordHash::isHash(stored), qPrintable(stored));
            QVERIFY(!stored.contains(QStringLiteral("123456")));
        }
        Operators operators(store.data());
        QCOMPARE(operators.login(QStringLiteral("001"), QStringLiteral("123456")), std::optional<bool>(true));
        QCOMPARE(operators.login(QStringLiteral("002"), QStringLiteral(" 带空格 ")), std::optional<bool>(false));
        QCOMPARE(operators.login(QStringLiteral("002"), QStringLiteral("带空格")), std::nullopt);
        QCOMPARE(operators.login(QStringLiteral("003"), QString()), std::optional<bool>(false));

        // Converted once: a second opening leaves the hashes as they are.
        const QString first = store.scalar(QStringLiteral("select password1 from user1 where name='001'"));
        TestStore::Reopened again(store.dir());
        QCOMPARE(store.scalar(QStringLiteral("select password1 from user1 where name='001'")), first);
    }

    void changeTakesTheNewPasswordIntoStoreAndSession()
    {
        TestStore store;
        Operators operators(store.data());
        Session session;
        session.OperatorCode = QStringLiteral("001");
        session.OperatorPassword = QStringLiteral("123456");
        operators.changePassword(session, QStringLiteral("新口令1"));
        QCOMPARE(session.OperatorPassword, QStringLiteral("新口令1"));
        QCOMPARE(operators.login(QStringLiteral("001"), QStringLiteral("123456")), std::nullopt);
        QCOMPARE(operators.login(QStringLiteral("001"), QStringLiteral("新口令1")), std::optional<bool>(true));
        // The other operator with the same old password keeps it.
        QCOMPARE(operators.login(QStringLiteral("002"), QStringLiteral("123456")), std::optional<bool>(false));

        // Changed elsewhere since login: nothing matches, nothing changes, nothing is said.
        session.OperatorPassword = QStringLiteral("stale");
        operators.changePassword(session, QStringLiteral("x"));
        QCOMPARE(operators.login(QStringLiteral("001"), QStringLiteral("新口令1")), std::optional<bool>(true));
    }
};

QTEST_GUILESS_MAIN(TestOperators)
#include "tst_operators.moc"
