#pragma once

#include "session/Selection.h"
#include "stats/StatsTeacher.h"

#include <QString>

#include <optional>
#include <vector>

// The figures of a group of teachers in one year, in hundredths: the teachers counted (those
// with workload rows in the year), each figure's sum and the total's sum, mean, median, minimum
// and maximum per teacher. Teachers of the group without rows in the year are counted apart.
struct StatsGroup
{
    QString label;
    // The tree node the group stands for (a faculty or a section); none for a title, nature or post.
    Selection::Node node;

    int teachers = 0;
    int teachersWithoutRows = 0;
    StatsTeacher::Figures sums{};
    qint64 total = 0;
    qint64 minimum = 0;
    qint64 maximum = 0;
    double median = 0; // hundredths; between two teachers' totals for an even count

    double mean() const { return teachers == 0 ? 0.0 : double(total) / teachers; }

    // The group's figures from its teachers (any order).
    static StatsGroup of(const QString& label, const Selection::Node& node,
                         const std::vector<const StatsTeacher*>& members);
};
