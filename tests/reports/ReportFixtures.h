#pragma once

#include "reports/TeacherListData.h"

#include <QString>

namespace ReportFixtures {

inline QDateTime generatedAt()
{
    return QDateTime(QDate(2026, 3, 5), QTime(14, 5, 9));
}

// `count` teachers "教师1" ... with totals that give round sums: teacher i has q11 = i, q12 = 0.5,
// no q2, q31 = 0.25, q32 = 2, q33 empty for odd i, q = the sum of the others.
inline TeacherListData teachers(int count)
{
    TeacherListData data{QStringLiteral("2026-2027学年软件工程教研室"), generatedAt(), {}};
    for (int i = 1; i <= count; ++i) {
        TeacherListRow row;
        row.rymc = QStringLiteral("教师%1").arg(i);
        row.q11 = i;
        row.q12 = 0.5;
        row.q31 = 0.25;
        row.q32 = 2;
        if (i % 2 == 0)
            row.q33 = 1.5;
        row.q = *row.q11 + *row.q12 + *row.q31 + *row.q32 + row.q33.value_or(0);
        data.rows.push_back(row);
    }
    return data;
}

} // namespace ReportFixtures
