#pragma once

#include "stats/StatsRequest.h"
#include "stats/StatsYear.h"

#include <QString>

#include <vector>

// The statistics of a request: one year, or every year of niandu in the store's order.
struct StatsResult
{
    StatsRequest request;
    QString nodeName; // the faculty's or section's name; empty for the whole year
    std::vector<StatsYear> years;

    // "2026-2027学年理学院工作量统计", "理学院历年工作量对比", "全校历年工作量对比".
    QString title() const
    {
        const QString node = nodeName.isEmpty() ? QStringLiteral("全校") : nodeName;
        if (request.allYears)
            return node + QStringLiteral("历年工作量对比");
        return request.year + (nodeName.isEmpty() ? QString() : nodeName) + QStringLiteral("工作量统计");
    }
};
