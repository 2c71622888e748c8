#include "stats/StatsGroup.h"

#include <algorithm>

StatsGroup StatsGroup::of(const QString& label, const Selection::Node& node,
                          const std::vector<const StatsTeacher*>& members)
{
    StatsGroup g;
    g.label = label;
    g.node = node;
    std::vector<qint64> totals;
    for (const StatsTeacher* t : members) {
        if (t->rows == 0) {
            ++g.teachersWithoutRows;
            continue;
        }
        for (int i = 0; i < StatsTeacher::FigureCount; ++i)
            g.sums[std::size_t(i)] += t->hundredths[std::size_t(i)];
        totals.push_back(t->total());
    }
    g.teachers = int(totals.size());
    if (totals.empty())
        return g;
    std::sort(totals.begin(), totals.end());
    for (qint64 t : totals)
        g.total += t;
    g.minimum = totals.front();
    g.maximum = totals.back();
    const std::size_t middle = totals.size() / 2;
    g.median =
        totals.size() % 2 == 1 ? double(totals[middle]) : (double(totals[middle - 1]) + double(totals[middle])) / 2;
    return g;
}
