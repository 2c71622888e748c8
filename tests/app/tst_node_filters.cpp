#include "LoginState.h"
#include "NodeFilters.h"

#include <QTest>

class TestNodeFilters : public QObject
{
    Q_OBJECT
private slots:
    void texts_data()
    {
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("yearFilter");
        QTest::addColumn<QString>("nodeFilter");
        QTest::addColumn<QString>("yearTitle");
        QTest::newRow("year") << "year" << QStringLiteral("nd like '%2026-2027学年%'") << QString()
                              << QStringLiteral("2026-2027学年工作量");
        QTest::newRow("faculty") << "faculty" << QStringLiteral("nd like '%2026-2027学年%' and yuanbu='计算机学院'")
                                 << QStringLiteral(" bmdm.ybmc='计算机学院'")
                                 << QStringLiteral("2026-2027学年计算机学院工作量");
        QTest::newRow("section") << "section"
                                 << QStringLiteral("nd like '%2026-2027学年%' and jiaoyanshi='软件工程教研室'")
                                 << QStringLiteral(" bmdm.bmmc='软件工程教研室'")
                                 << QStringLiteral("2026-2027学年软件工程教研室工作量");
        QTest::newRow("teacher") << "teacher"
                                 << QStringLiteral(
                                        "nd like '%2026-2027学年%' and jiaoshi='张三' and jiaoyanshi='软件工程教研室'")
                                 << QStringLiteral(" bmdm.bmmc='软件工程教研室' and rymc='张三'")
                                 << QStringLiteral("2026-2027学年软件工程教研室张三工作量");
    }
    void texts()
    {
        QFETCH(QString, level);
        QFETCH(QString, yearFilter);
        QFETCH(QString, nodeFilter);
        QFETCH(QString, yearTitle);
        const QString y = QStringLiteral("2026-2027学年");
        const NodeFilters f = level == u"year"      ? NodeFilters::year(y)
                              : level == u"faculty" ? NodeFilters::faculty(y, QStringLiteral("计算机学院"))
                              : level == u"section"
                                  ? NodeFilters::section(y, QStringLiteral("软件工程教研室"))
                                  : NodeFilters::teacher(y, QStringLiteral("张三"), QStringLiteral("软件工程教研室"));
        QCOMPARE(f.yearFilter, yearFilter);
        QCOMPARE(f.nodeFilter, nodeFilter);
        QCOMPARE(f.yearTitle, yearTitle);

        LoginState::reset();
        loginState().NodeFilter = QStringLiteral(" earlier");
        f.applyToLoginState();
        QCOMPARE(loginState().YearFilter, yearFilter);
        QCOMPARE(loginState().NodeFilter, nodeFilter.isEmpty() ? QStringLiteral(" earlier") : nodeFilter);
    }

    void quotesStayLiteral()
    {
        const NodeFilters f =
            NodeFilters::teacher(QStringLiteral("2026"), QStringLiteral("O'Neil"), QStringLiteral("a'b"));
        QCOMPARE(f.yearFilter, QStringLiteral("nd like '%2026%' and jiaoshi='O''Neil' and jiaoyanshi='a''b'"));
        QCOMPARE(f.nodeFilter, QStringLiteral(" bmdm.bmmc='a''b' and rymc='O''Neil'"));
    }
};

QTEST_GUILESS_MAIN(TestNodeFilters)
#include "tst_node_filters.moc"
