#pragma once

#include "stats/ChartPicture.h"
#include "stats/StatsResult.h"

#include <QColor>
#include <QString>

#include <vector>

// The statistics' charts as pictures: the six figures stacked per group, the distribution of
// the teachers' totals with the threshold marked, and a line per group across the years. A year
// without figures shows "未计算" instead of bars, never zeros.
namespace StatsCharts {

enum class Kind
{
    Bars,
    Histogram,
    Years
};

ChartPicture bars(const StatsResult& result, const StatsYear& year);
ChartPicture histogram(const StatsResult& result, const StatsYear& year);
ChartPicture years(const StatsResult& result);
// The chart of a kind for a result (Years for a year-over-year result whatever the kind).
ChartPicture of(const StatsResult& result, Kind kind);

// The colours of the six figures, and of the groups' lines in turn.
const std::vector<QColor>& palette();

} // namespace StatsCharts
