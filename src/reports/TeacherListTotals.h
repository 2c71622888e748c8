#pragma once

#include "reports/TeacherListData.h"

#include <array>

// Column sums and the average workload under the teacher list. Empty totals count as zero; the
// average divides the sum of `q` by the number of teachers (zero for an empty list).
struct TeacherListTotals
{
    // Sums of q11, q12, q2, q31, q32, q33, q in that order.
    std::array<double, 7> sums{};
    double average = 0;

    // The printed list shows q11 and q12 as one figure.
    double classroomAndOutOfClass() const { return sums[0] + sums[1]; }

    static TeacherListTotals of(const TeacherListData& data);
};
