#include "stats/StatsCharts.h"

#include "stats/StatsViews.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Width = 800;
constexpr double Height = 450;
constexpr double PlotLeft = 70;
constexpr double PlotTop = 50;
constexpr double PlotRight = 640; // the legend to the right of it
constexpr double PlotBottom = 380;
constexpr double TextSize = 11;

// A text's width in canvas units: a character outside ASCII is about as wide as it is high.
double textWidth(const QString& text, double size)
{
    double w = 0;
    for (const QChar c : text)
        w += c.unicode() < 0x80 ? 0.55 * size : size;
    return w;
}

// A step of 1, 2 or 5 times a power of ten that divides the span into at most about five parts.
double niceStep(double span)
{
    if (span <= 0)
        return 1;
    const double raw = span / 5;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (raw <= m * power)
            return m * power;
    return 10 * power;
}

// The vertical scale of the plot: from `low` to `high` (in the figures' units), with ticks.
class Scale
{
public:
    Scale(double low, double high)
    {
        low = std::min(low, 0.0);
        high = std::max(high, 0.0);
        if (high - low <= 0)
            high = low + 1;
        m_step = niceStep(high - low);
        m_low = std::floor(low / m_step) * m_step;
        m_high = std::ceil(high / m_step) * m_step;
    }
    double y(double value) const { return PlotBottom - (value - m_low) / (m_high - m_low) * (PlotBottom - PlotTop); }

    void draw(ChartPicture& p, const QString& unit) const
    {
        for (double v = m_low; v <= m_high + m_step / 2; v += m_step) {
            p.lines.push_back({{QPointF(PlotLeft, y(v)), QPointF(PlotRight, y(v))},
                               std::abs(v) < m_step / 2 ? Qt::black : QColor(0xdd, 0xdd, 0xdd),
                               1,
                               false});
            p.labels.push_back(
                {QPointF(PlotLeft - 6, y(v)), Qt::AlignRight, TextSize, QString::number(v, 'g', 10), Qt::black});
        }
        p.labels.push_back({QPointF(PlotLeft - 6, PlotTop - 18), Qt::AlignRight, TextSize, unit, Qt::black});
        p.lines.push_back({{QPointF(PlotLeft, PlotTop), QPointF(PlotLeft, PlotBottom)}, Qt::black, 1, false});
    }

private:
    double m_low = 0;
    double m_high = 1;
    double m_step = 1;
};

ChartPicture canvas(const QString& title)
{
    ChartPicture p;
    p.size = QSizeF(Width, Height);
    p.labels.push_back({QPointF(Width / 2, 22), Qt::AlignHCenter, 16, title, Qt::black});
    return p;
}

void notCalculated(ChartPicture& p, const StatsYear& year)
{
    p.labels.push_back(
        {QPointF(Width / 2, Height / 2), Qt::AlignHCenter, 20, StatsViews::stateNote(year), QColor(0x99, 0, 0)});
}

// Labels under the slots of the plot, every n-th when they would run into each other.
void slotLabels(ChartPicture& p, const QStringList& texts)
{
    if (texts.isEmpty())
        return;
    const double slot = (PlotRight - PlotLeft) / texts.size();
    double widest = 0;
    for (const QString& t : texts)
        widest = std::max(widest, textWidth(t, TextSize));
    const int every = std::max(1, int(std::ceil((widest + 6) / slot)));
    for (qsizetype i = 0; i < texts.size(); i += every)
        p.labels.push_back({QPointF(PlotLeft + slot * (double(i) + 0.5), PlotBottom + 14), Qt::AlignHCenter, TextSize,
                            texts[i], Qt::black});
}

void legend(ChartPicture& p, const QStringList& names, const std::vector<QColor>& colours)
{
    const int shown = std::min<int>(int(names.size()), 18);
    for (int i = 0; i < shown; ++i) {
        const double y = PlotTop + 8 + i * 18;
        p.boxes.push_back({QRectF(PlotRight + 16, y - 5, 12, 10), colours[std::size_t(i) % colours.size()]});
        p.labels.push_back({QPointF(PlotRight + 34, y), Qt::AlignLeft, TextSize, names[i], Qt::black});
    }
    if (shown < names.size())
        p.labels.push_back({QPointF(PlotRight + 34, PlotTop + 8 + shown * 18), Qt::AlignLeft, TextSize,
                            QStringLiteral("… 另 %1 项").arg(names.size() - shown), Qt::black});
}

double value(qint64 hundredths)
{
    return double(hundredths) / 100;
}

} // namespace

namespace StatsCharts {

const std::vector<QColor>& palette()
{
    static const std::vector<QColor> colours{
        QColor(0x1f, 0x77, 0xb4), QColor(0xff, 0x7f, 0x0e), QColor(0x2c, 0xa0, 0x2c), QColor(0xd6, 0x27, 0x28),
        QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b), QColor(0xe3, 0x77, 0xc2), QColor(0x7f, 0x7f, 0x7f),
        QColor(0xbc, 0xbd, 0x22), QColor(0x17, 0xbe, 0xcf)};
    return colours;
}

ChartPicture bars(const StatsResult& result, const StatsYear& year)
{
    ChartPicture p =
        canvas(QStringLiteral("%1 各%2工作量").arg(result.title(), StatsGroupings::caption(result.request.grouping)));
    if (!year.hasFigures()) {
        notCalculated(p, year);
        return p;
    }
    double low = 0, high = 0;
    for (const StatsGroup& g : year.groups) {
        double up = 0, down = 0;
        for (qint64 s : g.sums)
            (s >= 0 ? up : down) += value(s);
        high = std::max(high, up);
        low = std::min(low, down);
    }
    const Scale scale(low, high);
    scale.draw(p, QStringLiteral("学时"));
    const double slot = (PlotRight - PlotLeft) / std::max<std::size_t>(1, year.groups.size());
    QStringList labels;
    for (std::size_t i = 0; i < year.groups.size(); ++i) {
        const StatsGroup& g = year.groups[i];
        labels << g.label;
        const double left = PlotLeft + slot * double(i) + slot * 0.2;
        double up = 0, down = 0;
        for (std::size_t f = 0; f < g.sums.size(); ++f) {
            const double v = value(g.sums[f]);
            double& base = v >= 0 ? up : down;
            const double from = scale.y(base), to = scale.y(base + v);
            base += v;
            p.boxes.push_back(
                {QRectF(QPointF(left, std::min(from, to)), QPointF(left + slot * 0.6, std::max(from, to))),
                 palette()[f]});
        }
    }
    slotLabels(p, labels);
    legend(p, StatsViews::figureNames(), palette());
    return p;
}

ChartPicture histogram(const StatsResult& result, const StatsYear& year)
{
    ChartPicture p = canvas(QStringLiteral("%1 教师工作量分布 (每组 %2)")
                                .arg(result.title(), StatsRequest::amountText(result.request.binWidth)));
    if (!year.hasFigures()) {
        notCalculated(p, year);
        return p;
    }
    int most = 0;
    for (const StatsBin& b : year.bins)
        most = std::max(most, b.count);
    const Scale scale(0, most);
    scale.draw(p, QStringLiteral("人数"));
    const double slot = (PlotRight - PlotLeft) / std::max<std::size_t>(1, year.bins.size());
    QStringList labels;
    for (std::size_t i = 0; i < year.bins.size(); ++i) {
        const StatsBin& b = year.bins[i];
        labels << StatsRequest::amountText(b.lower);
        const double left = PlotLeft + slot * double(i);
        p.boxes.push_back(
            {QRectF(QPointF(left + 1, scale.y(b.count)), QPointF(left + slot - 1, scale.y(0))), palette().front()});
    }
    slotLabels(p, labels);
    if (result.request.threshold && !year.bins.empty()) {
        const double first = double(year.bins.front().lower);
        const double x =
            PlotLeft + (double(*result.request.threshold) - first) / double(result.request.binWidth) * slot;
        const double clamped = std::clamp(x, PlotLeft, PlotRight);
        p.lines.push_back(
            {{QPointF(clamped, PlotTop), QPointF(clamped, PlotBottom)}, QColor(0xd6, 0x27, 0x28), 2, true});
        p.labels.push_back({QPointF(clamped + 4, PlotTop - 8), Qt::AlignLeft, TextSize,
                            QStringLiteral("阈值 %1: 低于 %2 人, 不低于 %3 人")
                                .arg(StatsRequest::amountText(*result.request.threshold))
                                .arg(year.below)
                                .arg(year.atOrAbove),
                            QColor(0xd6, 0x27, 0x28)});
    }
    legend(p, {QStringLiteral("教师人数")}, palette());
    return p;
}

ChartPicture years(const StatsResult& result)
{
    ChartPicture p = canvas(result.title() + QStringLiteral(" (工作量合计)"));
    QStringList groups;
    double low = 0, high = 0;
    for (const StatsYear& y : result.years)
        for (const StatsGroup& g : y.groups) {
            if (!groups.contains(g.label))
                groups << g.label;
            high = std::max(high, value(g.total));
            low = std::min(low, value(g.total));
        }
    const Scale scale(low, high);
    scale.draw(p, QStringLiteral("学时"));
    const double slot = (PlotRight - PlotLeft) / std::max<std::size_t>(1, result.years.size());
    QStringList labels;
    for (std::size_t i = 0; i < result.years.size(); ++i) {
        labels << result.years[i].year;
        if (!result.years[i].hasFigures())
            p.labels.push_back({QPointF(PlotLeft + slot * (double(i) + 0.5), PlotBottom - 12), Qt::AlignHCenter,
                                TextSize, result.years[i].statusText(), QColor(0x99, 0, 0)});
    }
    slotLabels(p, labels);
    for (qsizetype gi = 0; gi < groups.size(); ++gi) {
        const QColor colour = palette()[std::size_t(gi) % palette().size()];
        QPolygonF segment;
        auto flush = [&] {
            if (segment.size() > 1)
                p.lines.push_back({segment, colour, 2, false});
            segment.clear();
        };
        for (std::size_t i = 0; i < result.years.size(); ++i) {
            const auto& ys = result.years[i].groups;
            const auto found =
                std::find_if(ys.begin(), ys.end(), [&](const StatsGroup& g) { return g.label == groups[gi]; });
            if (found == ys.end()) {
                flush();
                continue;
            }
            const QPointF point(PlotLeft + slot * (double(i) + 0.5), scale.y(value(found->total)));
            segment << point;
            p.boxes.push_back({QRectF(point - QPointF(3, 3), QSizeF(6, 6)), colour});
        }
        flush();
    }
    legend(p, groups, palette());
    return p;
}

ChartPicture of(const StatsResult& result, Kind kind)
{
    if (result.request.allYears || kind == Kind::Years)
        return years(result);
    if (kind == Kind::Histogram)
        return histogram(result, result.years.front());
    return bars(result, result.years.front());
}

} // namespace StatsCharts
