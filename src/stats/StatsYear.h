#pragma once

#include "stats/StatsGroup.h"
#include "stats/StatsRequest.h"
#include "stats/StatsTeacher.h"

#include <QDateTime>
#include <QString>

#include <vector>

// A bin of the distribution of teachers' totals: totals from `lower` (inclusive) to lower plus
// the bin width (exclusive), in hundredths.
struct StatsBin
{
    qint64 lower = 0;
    int count = 0;
};

// The statistics of the node in one year. Figures exist only for a year that a recorded
// calculation reached and in which the node's teachers have workload rows; otherwise the year is
// "未计算" and shows no figure at all (an entered 0 of a year never calculated is no computed 0).
struct StatsYear
{
    enum class Status
    {
        NotCalculated,
        Partial,   // calculated for some of the teachers with rows, not all
        Calculated // every teacher with rows was reached by a calculation of the year
    };

    QString year;
    Status status = Status::NotCalculated;
    QDateTime lastCalculated; // the latest calculation of the year that reached the node's teachers
    int uncalculatedTeachers = 0;

    std::vector<StatsTeacher> teachers; // the node's teachers, with or without rows
    std::vector<StatsGroup> groups;
    StatsGroup overall; // the whole node
    std::vector<StatsBin> bins;
    int below = 0;     // totals < threshold
    int atOrAbove = 0; // totals >= threshold

    bool hasFigures() const { return status != Status::NotCalculated; }
    // "已计算", "部分计算" or "未计算".
    QString statusText() const;

    // The year's statistics from the node's teachers with their figures (each `calculated` set).
    static StatsYear of(const QString& year, std::vector<StatsTeacher> teachers, const QDateTime& lastCalculated,
                        const StatsRequest& request);
    // Whether a teacher's total is below the request's threshold.
    static bool isBelow(const StatsTeacher& teacher, const StatsRequest& request);
};
