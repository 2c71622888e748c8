#pragma once

#include "stats/StatsResult.h"
#include "stats/StatsTable.h"

#include <QString>

#include <vector>

// The statistics as tables: for one year the groups ("分组统计", with the node's total row), the
// distribution ("分布": the counts below and at or above the threshold, and the bins) and the
// teachers ("教师"); for every year the years side by side ("历年对比"). A year without figures
// says "未计算" where its figures would stand.
namespace StatsViews {

std::vector<StatsView> of(const StatsResult& result);

StatsTable groupTable(const StatsResult& result, const StatsYear& year);
StatsTable thresholdTable(const StatsResult& result, const StatsYear& year);
StatsTable binTable(const StatsResult& result, const StatsYear& year);
StatsTable teacherTable(const StatsResult& result, const StatsYear& year);
StatsTable yearTable(const StatsResult& result);

// The figures' short names, in the order of the teacher totals: 课堂, 课外, 实验, 实习设计, 毕业设计, 指导研究生.
const QStringList& figureNames();
// An amount of hundredths as the tables show it: always two decimals ("147.58", "112.00", "-0.25").
QString amount(qint64 hundredths);
// Where the figures come from, in the screen's and the pages' words.
QString sourceNote();
// The year's state: "已计算 (最近计算 2026-12-01 09:30)", "部分计算 (1 位教师未计算; …)", "未计算".
QString stateNote(const StatsYear& year);

} // namespace StatsViews
