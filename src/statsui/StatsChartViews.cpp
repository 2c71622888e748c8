#include "statsui/StatsChartViews.h"

#include "reports/ReportPainter.h"
#include "stats/StatsCharts.h"
#include "stats/StatsViews.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <algorithm>

namespace {

QFont chartFont(double points)
{
    QFont font = ReportPainter::font(ReportFont::Body);
    font.setPointSizeF(points);
    return font;
}

QChart* chartTitled(const QString& title)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setTitleFont(chartFont(12));
    chart->legend()->setFont(chartFont(9));
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->setAnimationOptions(QChart::NoAnimation);
    return chart;
}

void axes(QChart* chart, QAbstractSeries* series, const QStringList& categories, const QString& unit)
{
    auto* x = new QBarCategoryAxis;
    x->append(categories);
    x->setLabelsFont(chartFont(8));
    auto* y = new QValueAxis;
    y->setTitleText(unit);
    y->setTitleFont(chartFont(9));
    y->setLabelsFont(chartFont(8));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    y->applyNiceNumbers();
    if (unit == QStringLiteral("人数")) {
        // Teachers are whole: ticks at whole numbers, at most about ten of them.
        const int most = std::max(1, int(y->max()));
        y->setRange(0, most);
        y->setTickType(QValueAxis::TicksDynamic);
        y->setTickAnchor(0);
        y->setTickInterval(std::max(1, (most + 9) / 10));
        y->setLabelFormat(QStringLiteral("%d"));
    }
}

} // namespace

namespace StatsChartViews {

QChart* bars(const StatsResult& result, const StatsYear& year)
{
    QChart* chart = chartTitled(
        year.hasFigures()
            ? QStringLiteral("%1 各%2工作量").arg(result.title(), StatsGroupings::caption(result.request.grouping))
            : StatsViews::stateNote(year));
    if (!year.hasFigures())
        return chart;
    auto* series = new QStackedBarSeries;
    series->setObjectName(QStringLiteral("BarSeries"));
    for (int f = 0; f < StatsTeacher::FigureCount; ++f) {
        auto* set = new QBarSet(StatsViews::figureNames().at(f));
        set->setColor(StatsCharts::palette()[std::size_t(f)]);
        for (const StatsGroup& g : year.groups)
            *set << double(g.sums[std::size_t(f)]) / 100;
        series->append(set);
    }
    QStringList labels;
    for (const StatsGroup& g : year.groups)
        labels << g.label;
    chart->addSeries(series);
    axes(chart, series, labels, QStringLiteral("学时"));
    return chart;
}

QChart* histogram(const StatsResult& result, const StatsYear& year)
{
    const std::optional<qint64>& threshold = result.request.threshold;
    QString title = QStringLiteral("%1 教师工作量分布 (每组 %2)")
                        .arg(result.title(), StatsRequest::amountText(result.request.binWidth));
    if (threshold && year.hasFigures())
        title += QStringLiteral("  阈值 %1: 低于 %2 人, 不低于 %3 人")
                     .arg(StatsRequest::amountText(*threshold))
                     .arg(year.below)
                     .arg(year.atOrAbove);
    QChart* chart = chartTitled(year.hasFigures() ? title : StatsViews::stateNote(year));
    if (!year.hasFigures())
        return chart;
    // The bins split at the threshold: the teachers below it in their own colour.
    auto* below = new QBarSet(threshold ? QStringLiteral("低于 %1").arg(StatsRequest::amountText(*threshold))
                                        : QStringLiteral("教师人数"));
    auto* above = new QBarSet(QStringLiteral("不低于 %1").arg(StatsRequest::amountText(threshold.value_or(0))));
    below->setColor(threshold ? QColor(0xd6, 0x27, 0x28) : StatsCharts::palette().front());
    above->setColor(StatsCharts::palette().front());
    QStringList labels;
    for (const StatsBin& bin : year.bins) {
        int under = 0, over = 0;
        for (const StatsTeacher& t : year.teachers) {
            if (t.rows == 0 || t.total() < bin.lower || t.total() >= bin.lower + result.request.binWidth)
                continue;
            ++(!threshold || StatsYear::isBelow(t, result.request) ? under : over);
        }
        *below << under;
        *above << over;
        labels << StatsRequest::amountText(bin.lower);
    }
    auto* series = new QStackedBarSeries;
    series->setObjectName(QStringLiteral("HistogramSeries"));
    series->setBarWidth(0.95);
    series->append(below);
    if (threshold)
        series->append(above);
    else
        delete above;
    chart->addSeries(series);
    axes(chart, series, labels, QStringLiteral("人数"));
    return chart;
}

QChart* years(const StatsResult& result)
{
    QChart* chart = chartTitled(result.title() + QStringLiteral(" (工作量合计)"));
    QStringList labels;
    QStringList groups;
    for (const StatsYear& y : result.years) {
        labels << (y.hasFigures() ? y.year : y.year + QStringLiteral(" (") + y.statusText() + u')');
        for (const StatsGroup& g : y.groups)
            if (!groups.contains(g.label))
                groups << g.label;
    }
    auto* x = new QBarCategoryAxis;
    x->append(labels);
    x->setLabelsFont(chartFont(8));
    auto* y = new QValueAxis;
    y->setTitleText(QStringLiteral("学时"));
    y->setLabelsFont(chartFont(8));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    double high = 0, low = 0;
    for (qsizetype gi = 0; gi < groups.size(); ++gi) {
        auto* line = new QLineSeries;
        line->setName(groups[gi]);
        line->setColor(StatsCharts::palette()[std::size_t(gi) % StatsCharts::palette().size()]);
        line->setPointsVisible(true);
        line->setMarkerSize(8);
        for (std::size_t i = 0; i < result.years.size(); ++i)
            for (const StatsGroup& g : result.years[i].groups)
                if (g.label == groups[gi]) {
                    line->append(double(i), double(g.total) / 100);
                    high = std::max(high, double(g.total) / 100);
                    low = std::min(low, double(g.total) / 100);
                }
        chart->addSeries(line);
        line->attachAxis(x);
        line->attachAxis(y);
    }
    y->setRange(low, high > low ? high : low + 1);
    y->applyNiceNumbers();
    return chart;
}

} // namespace StatsChartViews
