#include "store/PasswordHash.h"

#include <QTest>

class TestPasswordHash : public QObject
{
    Q_OBJECT
private slots:
    void verifiesOnlyTheSamePassword_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("same") << "secret"
                              << "secret" << true;
        QTest::newRow("wrong") << "secret"
                               << "secreT" << false;
        QTest::newRow("trailing space is another password") << "secret"
                                                            << "secret " << false;
        QTest::newRow("leading space is another password") << " secret"
                                                           << "secret" << false;
        QTest::newRow("empty password") << ""
                                        << "" << true;
        QTest::newRow("empty typed for a password") << "secret"
                                                    << "" << false;
        QTest::newRow("Chinese") << "口令123"
                                 << "口令123" << true;
        QTest::newRow("Chinese, one character off") << "口令123"
                                                    << "口今123" << false;
        QTest::newRow("quote and dollar") << "it's $1"
                                          << "it's $1" << true;
        QTest::newRow("longer than the login box")
            << QString(40, QLatin1Char('x')) << QString(40, QLatin1Char('x')) << true;
    }
    void verifiesOnlyTheSamePassword()
    {
        QFETCH(QString, password);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        const QString stored = PasswordHash::hash(password);
        QVERIFY(stored.startsWith(QStringLiteral("$argon2id$")));
        if (!password.isEmpty())
            QVERIFY(!stored.contains(password));
        QCOMPARE(PasswordHash::verify(stored, typed), accepted);
    }

    void eachHashHasItsOwnSalt()
    {
        const QString first = PasswordHash::hash(QStringLiteral("secret"));
        const QString second = PasswordHash::hash(QStringLiteral("secret"));
        QVERIFY(first != second);
        QVERIFY(PasswordHash::verify(first, QStringLiteral("secret")));
        QVERIFY(PasswordHash::verify(second, QStringLiteral("secret")));
    }

    void tellsHashesFromClearText_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("hash");
        const QString real = PasswordHash::hash(QStringLiteral("secret"));
        QTest::newRow("hash") << real << true;
        QTest::newRow("hash of the empty password") << PasswordHash::hash(QString()) << true;
        QTest::newRow("clear text") << "secret" << false;
        QTest::newRow("empty clear text") << "" << false;
        QTest::newRow("clear text starting with $") << "$ecret" << false;
        QTest::newRow("clear text that is the prefix") << "$argon2id$" << false;
        QTest::newRow("clear text shaped like a hash") << "$argon2id$v=19$m=65536,t=2,p=1$abc$def" << false;
        // Cut by 3 the hash part is still whole base64 bytes (30 of 32), which the decoder takes.
        for (int cut = 1; cut <= 5; ++cut)
            QTest::addRow("hash cut short by %d", cut) << real.left(real.size() - cut) << false;
        QTest::newRow("hash with a character added") << real + QLatin1Char('A') << false;
        QTest::newRow("hash with a trailing space") << real + QLatin1Char(' ') << false;
        QTest::newRow("argon2i hash is not ours")
            << QString(real).replace(QStringLiteral("$argon2id$"), QStringLiteral("$argon2i$")) << false;
    }
    void tellsHashesFromClearText()
    {
        QFETCH(QString, stored);
        QFETCH(bool, hash);
        QCOMPARE(PasswordHash::isHash(stored), hash);
    }

    // Before the upgrade a stored password is clear text; it must not verify as if it were a hash.
    void clearTextNeverVerifies()
    {
        QVERIFY(!PasswordHash::verify(QStringLiteral("secret"), QStringLiteral("secret")));
        QVERIFY(!PasswordHash::verify(QString(), QString()));
    }
};

QTEST_GUILESS_MAIN(TestPasswordHash)
#include "tst_password_hash.moc"
