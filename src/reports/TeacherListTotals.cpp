#include "reports/TeacherListTotals.h"

TeacherListTotals TeacherListTotals::of(const TeacherListData& data)
{
    TeacherListTotals totals;
    for (const TeacherListRow& row : data.rows) {
        const auto values = row.totals();
        for (std::size_t i = 0; i < values.size(); ++i)
            totals.sums[i] += values[i].value_or(0.0);
    }
    if (!data.rows.empty())
        totals.average = totals.sums.back() / double(data.rows.size());
    return totals;
}
