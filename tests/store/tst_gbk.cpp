#include "Gbk.h"

#include <QTest>

class TestGbk : public QObject
{
    Q_OBJECT
private slots:
    void length_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<long long>("bytes");
        QTest::newRow("empty") << QString() << 0LL;
        QTest::newRow("ascii") << QStringLiteral("abc 123") << 7LL;
        QTest::newRow("seven chinese") << QStringLiteral("欧阳建国和平人") << 14LL;
        QTest::newRow("mixed") << QStringLiteral("计科2023级1班") << 13LL;
        // Two bytes each in GBK although UTF-8 gives them two bytes as well: a byte formula miscounts them.
        QTest::newRow("symbols") << QStringLiteral("×·é°ΑΒΓ") << 14LL;
        QTest::newRow("full-width punctuation") << QStringLiteral("规模系数：标准班") << 16LL;
        QTest::newRow("emoji") << QStringLiteral("张\U0001F600") << -1LL;
        QTest::newRow("hangul") << QStringLiteral("한국") << -1LL;
    }
    void length()
    {
        QFETCH(QString, text);
        QFETCH(long long, bytes);
        QCOMPARE(Gbk::length(text), bytes);
        const auto encoded = Gbk::encode(text);
        QCOMPARE(encoded.has_value(), bytes >= 0);
        if (encoded) {
            QCOMPARE(encoded->size(), bytes);
            QCOMPARE(Gbk::decode(*encoded).value(), text);
        }
    }

    void knownBytes()
    {
        QCOMPARE(Gbk::encode(QStringLiteral("教师")).value(), QByteArray("\xBD\xCC\xCA\xA6"));
        QCOMPARE(Gbk::decode(QByteArray("\xD5\xC5\xC8\xFD")).value(), QStringLiteral("张三"));
        QVERIFY(!Gbk::decode(QByteArray("\xD5")).has_value()); // a lead byte without its trail byte
    }

    void orderFollowsPinyin()
    {
        QStringList names{QStringLiteral("张三"), QStringLiteral("王五"), QStringLiteral("孙七"),
                          QStringLiteral("李四"), QStringLiteral("abc")};
        std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
            const QByteArray ua = a.toUtf8(), ub = b.toUtf8();
            return Gbk::compareUtf8({ua.constData(), size_t(ua.size())}, {ub.constData(), size_t(ub.size())}) < 0;
        });
        QCOMPARE(names, QStringList({QStringLiteral("abc"), QStringLiteral("李四"), QStringLiteral("孙七"),
                                     QStringLiteral("王五"), QStringLiteral("张三")}));
    }
};

QTEST_GUILESS_MAIN(TestGbk)
#include "tst_gbk.moc"
