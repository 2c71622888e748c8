#include "store/Gbk.h"

#include <QTest>

#include <algorithm>
#include <cstring>

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
    // The collation must agree with comparing whole GBK forms (texts without one after those with
    // one, among themselves by UTF-8 bytes), however much of the two texts is shared.
    void orderAgreesWithWholeForms()
    {
        const QStringList texts{QString(),
                                QStringLiteral("a"),
                                QStringLiteral("abc"),
                                QStringLiteral("abd"),
                                QStringLiteral("张"),
                                QStringLiteral("张三"),
                                QStringLiteral("张三丰"),
                                QStringLiteral("张四"),
                                QStringLiteral("张a"),
                                QStringLiteral("张\u0080"),
                                QStringLiteral("计算机科学与技术学院"),
                                QStringLiteral("计算机科学与工程学院"),
                                QStringLiteral("计算机1"),
                                QStringLiteral("×·é"),
                                QStringLiteral("×·ΑΒ"),
                                QStringLiteral("张\U0001F600"),
                                QStringLiteral("张\U0001F600a"),
                                QStringLiteral("张\U0001F601"),
                                QStringLiteral("\U0001F600张"),
                                QStringLiteral("한국"),
                                QStringLiteral("한a")};
        const auto sign = [](int c) { return c < 0 ? -1 : (c > 0 ? 1 : 0); };
        const auto expected = [&](const QString& x, const QString& y) {
            const auto gx = Gbk::encode(x), gy = Gbk::encode(y);
            if (gx.has_value() != gy.has_value())
                return gx ? -1 : 1;
            const QByteArray bx = gx ? *gx : x.toUtf8(), by = gy ? *gy : y.toUtf8();
            const int head = std::memcmp(bx.constData(), by.constData(), size_t(std::min(bx.size(), by.size())));
            return head != 0 ? sign(head) : sign(int(bx.size() - by.size()));
        };
        for (const QString& x : texts) {
            for (const QString& y : texts) {
                const QByteArray ux = x.toUtf8(), uy = y.toUtf8();
                const int got =
                    Gbk::compareUtf8({ux.constData(), size_t(ux.size())}, {uy.constData(), size_t(uy.size())});
                if (got != expected(x, y))
                    QFAIL(
                        qPrintable(QStringLiteral("%1 vs %2: %3, expected %4").arg(x, y).arg(got).arg(expected(x, y))));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestGbk)
#include "tst_gbk.moc"
