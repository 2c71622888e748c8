// The statistics' figures on a small university, against sums worked out by hand.
#include "StatsFixture.h"
#include "calc/WorkloadCalculator.h"
#include "stats/WorkloadStats.h"
#include "store/ProgramError.h"
#include "store/WorkloadCategories.h"

#include <QTest>

#include <cmath>

using namespace StatsFixture;

namespace {

// "label teachers/without total mean median min max", amounts in hundredths (the mean to two decimals).
QString line(const StatsGroup& g)
{
    return QStringLiteral("%1 %2/%3 %4 %5 %6 %7 %8")
        .arg(g.label)
        .arg(g.teachers)
        .arg(g.teachersWithoutRows)
        .arg(g.total)
        .arg(QString::number(g.mean() / 100, 'f', 2))
        .arg(g.median)
        .arg(g.minimum)
        .arg(g.maximum);
}

QStringList lines(const std::vector<StatsGroup>& groups)
{
    QStringList out;
    for (const StatsGroup& g : groups)
        out << line(g);
    return out;
}

StatsRequest request(StatsGrouping grouping, const Selection::Node& node = Selection::year(Year).node)
{
    StatsRequest r;
    r.year = Year;
    r.node = node;
    r.grouping = grouping;
    return r;
}

} // namespace

class TestWorkloadStats : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_store = std::make_unique<TestStore>();
        fill(m_store->db());
    }

    void groups_data()
    {
        QTest::addColumn<int>("grouping");
        QTest::addColumn<Selection>("node");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("overall");
        const Selection year = Selection::year(Year);
        QTest::newRow("section") << int(StatsGrouping::Section) << year
                                 << QStringList{"数学教研室 2/1 43758 218.79 21879 14758 29000",
                                                "物理教研室 1/0 11200 112.00 11200 11200 11200",
                                                "中文教研室 1/0 45000 450.00 45000 45000 45000"}
                                 << "合计 4/1 99958 249.90 21879 11200 45000";
        QTest::newRow("faculty") << int(StatsGrouping::Faculty) << year
                                 << QStringList{"理学院 3/1 54958 183.19 14758 11200 29000",
                                                "文学院 1/0 45000 450.00 45000 45000 45000"}
                                 << "合计 4/1 99958 249.90 21879 11200 45000";
        QTest::newRow("title") << int(StatsGrouping::Title) << year
                               << QStringList{"正高级 1/0 14758 147.58 14758 14758 14758",
                                              "副高级 2/1 74000 370.00 37000 29000 45000",
                                              "中级 1/0 11200 112.00 11200 11200 11200"}
                               << "合计 4/1 99958 249.90 21879 11200 45000";
        QTest::newRow("nature") << int(StatsGrouping::Nature) << year
                                << QStringList{"专职 3/1 88758 295.86 29000 14758 45000",
                                               "兼职 1/0 11200 112.00 11200 11200 11200"}
                                << "合计 4/1 99958 249.90 21879 11200 45000";
        QTest::newRow("post") << int(StatsGrouping::Post) << year
                              << QStringList{"无重点岗位 3/1 54958 183.19 14758 11200 29000",
                                             "重点 6 级 1/0 45000 450.00 45000 45000 45000"}
                              << "合计 4/1 99958 249.90 21879 11200 45000";
        QTest::newRow("faculty node by section")
            << int(StatsGrouping::Section) << Selection::faculty(Year, QStringLiteral("理学院"))
            << QStringList{"数学教研室 2/1 43758 218.79 21879 14758 29000",
                           "物理教研室 1/0 11200 112.00 11200 11200 11200"}
            << "合计 3/1 54958 183.19 14758 11200 29000";
        QTest::newRow("section node by title")
            << int(StatsGrouping::Title) << Selection::section(Year, QStringLiteral("数学教研室"))
            << QStringList{"正高级 1/0 14758 147.58 14758 14758 14758", "副高级 1/1 29000 290.00 29000 29000 29000"}
            << "合计 2/1 43758 218.79 21879 14758 29000";
    }
    void groups()
    {
        QFETCH(int, grouping);
        QFETCH(Selection, node);
        QFETCH(QStringList, expected);
        QFETCH(QString, overall);
        const StatsResult r = WorkloadStats(m_store->db()).compute(request(StatsGrouping(grouping), node.node));
        QCOMPARE(r.years.size(), std::size_t(1));
        const StatsYear& y = r.years.front();
        QCOMPARE(y.status, StatsYear::Status::Calculated);
        QCOMPARE(lines(y.groups), expected);
        QCOMPARE(line(y.overall), overall);
    }

    void figuresOfEachKind()
    {
        const StatsYear y = WorkloadStats(m_store->db()).compute(request(StatsGrouping::Faculty)).years.front();
        // 理学院: Q11 100.5+300+80, Q12 15.08+12, Q2 20, Q31 -10, Q32 12, Q33 20; 文学院: nulls count 0.
        QCOMPARE(y.groups.at(0).sums, (StatsTeacher::Figures{48050, 2708, 2000, -1000, 1200, 2000}));
        QCOMPARE(y.groups.at(1).sums, (StatsTeacher::Figures{0, 0, 0, 0, 0, 45000}));
        QCOMPARE(y.groups.at(0).node, (Selection::Node{Selection::Level::Faculty, "理学院", {}, {}}));
    }

    void distribution_data()
    {
        QTest::addColumn<QString>("threshold");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QStringList>("bins"); // lower edge (hundredths):count
        QTest::addColumn<int>("below");
        QTest::addColumn<int>("atOrAbove");
        const QStringList by50{"10000:2", "15000:0", "20000:0", "25000:1", "30000:0", "35000:0", "40000:0", "45000:1"};
        // A total on the threshold is not below it; a total on a bin's edge opens that bin.
        QTest::newRow("threshold on a teacher's total and a bin edge") << "450"
                                                                       << "50" << by50 << 3 << 1;
        QTest::newRow("threshold between") << "147.58"
                                           << "50" << by50 << 1 << 3;
        QTest::newRow("threshold above all") << "1000"
                                             << "50" << by50 << 4 << 0;
        QTest::newRow("width 100") << "0"
                                   << "100" << QStringList{"10000:2", "20000:1", "30000:0", "40000:1"} << 0 << 4;
        QTest::newRow("width on a teacher's total")
            << "112.01"
            << "112" << QStringList{"11200:2", "22400:1", "33600:0", "44800:1"} << 1 << 3;
    }
    void distribution()
    {
        QFETCH(QString, threshold);
        QFETCH(QString, width);
        QFETCH(QStringList, bins);
        QFETCH(int, below);
        QFETCH(int, atOrAbove);
        StatsRequest r = request(StatsGrouping::Section);
        r.threshold = StatsRequest::hundredths(threshold);
        r.binWidth = StatsRequest::hundredths(width).value();
        const StatsYear y = WorkloadStats(m_store->db()).compute(r).years.front();
        QStringList got;
        for (const StatsBin& b : y.bins)
            got << QStringLiteral("%1:%2").arg(b.lower).arg(b.count);
        QCOMPARE(got, bins);
        QCOMPARE(y.below, below);
        QCOMPARE(y.atOrAbove, atOrAbove);
    }

    void refusals_data()
    {
        QTest::addColumn<Selection>("node");
        QTest::addColumn<QString>("width");
        QTest::newRow("section without teachers") << Selection::section(Year, QStringLiteral("空教研室")) << "50";
        QTest::newRow("no such faculty") << Selection::faculty(Year, QStringLiteral("工学院")) << "50";
        QTest::newRow("zero width") << Selection::year(Year) << "0";
        QTest::newRow("too many bins") << Selection::year(Year) << "0.01";
    }
    void refusals()
    {
        QFETCH(Selection, node);
        QFETCH(QString, width);
        StatsRequest r = request(StatsGrouping::Section, node.node);
        r.binWidth = StatsRequest::hundredths(width).value();
        QVERIFY_THROWS_EXCEPTION(ProgramError, WorkloadStats(m_store->db()).compute(r));
    }

    void yearsSideBySide()
    {
        // 王五's rows of the earlier year were calculated on their own, 张三's were not.
        CalculationRecords::write(
            m_store->db(), Earlier,
            Selection::teacher(Earlier, QStringLiteral("王五"), QStringLiteral("物理教研室")).node,
            QDateTime(QDate(2026, 1, 5), QTime(8, 0)));
        StatsRequest r = request(StatsGrouping::Faculty);
        r.allYears = true;
        const StatsResult result = WorkloadStats(m_store->db()).compute(r);
        QStringList got;
        for (const StatsYear& y : result.years)
            got << y.year + u' ' + y.statusText() + u' ' + (y.hasFigures() ? line(y.overall) : QString());
        QCOMPARE(got, (QStringList{"2023-2024学年 未计算 ", "2024-2025学年 未计算 ",
                                   "2025-2026学年 部分计算 合计 2/3 8000 40.00 4000 3000 5000",
                                   "2026-2027学年 已计算 合计 4/1 99958 249.90 21879 11200 45000"}));
        QCOMPARE(result.years.at(2).uncalculatedTeachers, 1);
        QCOMPARE(result.years.at(2).lastCalculated, QDateTime(QDate(2026, 1, 5), QTime(8, 0)));
        QCOMPARE(result.years.at(3).lastCalculated, QDateTime(QDate(2026, 12, 1), QTime(9, 30)));
        QCOMPARE(result.title(), QStringLiteral("全校历年工作量对比"));
    }

    void aYearNeverCalculatedHasNoFigures()
    {
        // Rows with entered figures, but no calculation of the year: never shown as computed.
        StatsRequest r = request(StatsGrouping::Section);
        r.year = Earlier;
        const StatsYear y = WorkloadStats(m_store->db()).compute(r).years.front();
        QCOMPARE(y.status, StatsYear::Status::NotCalculated);
        QVERIFY(!y.hasFigures());
        QVERIFY(y.groups.empty());
        QVERIFY(y.bins.empty());
        QCOMPARE(y.statusText(), QStringLiteral("未计算"));
    }

    void amounts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("hundredths"); // -1 for refused
        QTest::addColumn<QString>("written");
        QTest::newRow("whole") << "400" << qint64(40000) << "400";
        QTest::newRow("two decimals") << "12.05" << qint64(1205) << "12.05";
        QTest::newRow("one decimal") << " 0.5 " << qint64(50) << "0.5";
        QTest::newRow("negative") << "-0.25" << qint64(-25) << "-0.25";
        QTest::newRow("three decimals") << "1.005" << qint64(-1) << "";
        QTest::newRow("exponent") << "1e2" << qint64(-1) << "";
        QTest::newRow("text") << "abc" << qint64(-1) << "";
        QTest::newRow("empty") << "" << qint64(-1) << "";
    }
    void amounts()
    {
        QFETCH(QString, text);
        QFETCH(qint64, hundredths);
        QFETCH(QString, written);
        const std::optional<qint64> read = StatsRequest::hundredths(text);
        QCOMPARE(read.value_or(-1), hundredths);
        if (read)
            QCOMPARE(StatsRequest::amountText(*read), written);
    }

    // The figures of a year just calculated, teacher by teacher and summed, equal the totals the
    // calculation stored in rydm (the demo university, all four kinds of rows).
    void sumsEqualTheStoredTotals()
    {
        TestStore demo(true);
        const QString year = QStringLiteral("2026-2027学年");
        WorkloadCalculator(demo.data()).calculateYear(year);
        StatsRequest r = request(StatsGrouping::Section);
        r.year = year;
        const StatsYear y = WorkloadStats(demo.db()).compute(r).years.front();
        QCOMPARE(y.status, StatsYear::Status::Calculated);
        QVERIFY(y.teachers.size() > 30);
        const QStringList columns{"q11", "q12", "q2", "q31", "q32", "q33"};
        StatsTeacher::Figures stored{};
        qint64 storedTotal = 0;
        for (const StatsTeacher& t : y.teachers) {
            const QVariantList row =
                demo.db()
                    .select(QStringLiteral("select %1, q from rydm where rydm='%2'").arg(columns.join(u','), t.code))
                    .rows.front();
            for (int i = 0; i < StatsTeacher::FigureCount; ++i) {
                const qint64 h = std::llround(row.value(i).toDouble() * 100);
                QCOMPARE(t.hundredths[std::size_t(i)], h);
                stored[std::size_t(i)] += h;
            }
            QCOMPARE(t.total(), std::llround(row.value(6).toDouble() * 100));
            storedTotal += std::llround(row.value(6).toDouble() * 100);
        }
        QCOMPARE(y.overall.sums, stored);
        QCOMPARE(y.overall.total, storedTotal);
        QVERIFY(storedTotal > 0);
    }

private:
    std::unique_ptr<TestStore> m_store;
};

QTEST_GUILESS_MAIN(TestWorkloadStats)
#include "tst_workload_stats.moc"
