#include "session/Selection.h"
#include "session/Session.h"

#include <QTest>

class TestSelection : public QObject
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
        const Selection f = level == u"year"      ? Selection::year(y)
                            : level == u"faculty" ? Selection::faculty(y, QStringLiteral("计算机学院"))
                            : level == u"section"
                                ? Selection::section(y, QStringLiteral("软件工程教研室"))
                                : Selection::teacher(y, QStringLiteral("张三"), QStringLiteral("软件工程教研室"));
        QCOMPARE(f.YearFilter(), yearFilter);
        QCOMPARE(f.NodeFilter(), nodeFilter);
        QCOMPARE(f.YearTitle(), yearTitle);

        // A whole year keeps the teacher condition chosen before; every node brings its own.
        Session session;
        session.select(Selection::section(y, QStringLiteral("数学教研室")));
        session.select(f);
        QCOMPARE(session.selection.YearFilter(), yearFilter);
        QCOMPARE(session.selection.NodeFilter(),
                 nodeFilter.isEmpty() ? QStringLiteral(" bmdm.bmmc='数学教研室'") : nodeFilter);
        QCOMPARE(session.selection.YearTitle(), yearTitle);
    }

    void quotesStayLiteral()
    {
        const Selection f = Selection::teacher(QStringLiteral("2026"), QStringLiteral("O'Neil"), QStringLiteral("a'b"));
        QCOMPARE(f.YearFilter(), QStringLiteral("nd like '%2026%' and jiaoshi='O''Neil' and jiaoyanshi='a''b'"));
        QCOMPARE(f.NodeFilter(), QStringLiteral(" bmdm.bmmc='a''b' and rymc='O''Neil'"));
    }
};

QTEST_GUILESS_MAIN(TestSelection)
#include "tst_selection.moc"
