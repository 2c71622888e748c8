#pragma once

#include "stats/StatsResult.h"

class QChart;

// The statistics' charts for the screen (Qt Charts): the six figures stacked per group, the
// distribution of the teachers' totals with the bins below the threshold in their own colour,
// and a line per group across the years. Fonts are the printed list's (Song), so Chinese labels
// render as on paper.
namespace StatsChartViews {

QChart* bars(const StatsResult& result, const StatsYear& year);
QChart* histogram(const StatsResult& result, const StatsYear& year);
QChart* years(const StatsResult& result);

} // namespace StatsChartViews
