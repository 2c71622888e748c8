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
// A line of the list: a name, the six figures in the list's order (q11, q12, q2, q31, q32, q33)
// and the grand total.
inline TeacherListRow row(const QString& name, const std::vector<std::optional<double>>& figures,
                          std::optional<double> q)
{
    TeacherListRow r;
    r.rymc = name;
    r.figures = figures;
    r.q = q;
    return r;
}

inline TeacherListData teachers(int count)
{
    TeacherListData data{QStringLiteral("2026-2027学年软件工程教研室"), generatedAt(), {}};
    for (int i = 1; i <= count; ++i) {
        TeacherListRow row;
        row.rymc = QStringLiteral("教师%1").arg(i);
        row.figure("q11") = i;
        row.figure("q12") = 0.5;
        row.figure("q31") = 0.25;
        row.figure("q32") = 2;
        if (i % 2 == 0)
            row.figure("q33") = 1.5;
        row.q = *row.figure("q11") + *row.figure("q12") + *row.figure("q31") + *row.figure("q32") +
                row.figure("q33").value_or(0);
        data.rows.push_back(row);
    }
    return data;
}

} // namespace ReportFixtures
