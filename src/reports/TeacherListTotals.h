#pragma once

#include "reports/TeacherListData.h"

#include <vector>

// Column sums and the average workload under the teacher list. Empty totals count as zero; the
// average divides the sum of `q` by the number of teachers (zero for an empty list).
struct TeacherListTotals
{
    // Sums of the teacher totals in the order of TeacherListRow::totals() (q11, q12, q2, q31, q32,
    // q33, then q).
    std::vector<double> sums = std::vector<double>(TeacherListRow::figureCount() + 1);
    double average = 0;

    // The printed list shows q11 and q12 as one figure.
    double classroomAndOutOfClass() const { return sums[0] + sums[1]; }

    static TeacherListTotals of(const TeacherListData& data);
};
