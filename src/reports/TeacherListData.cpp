#include "reports/TeacherListData.h"

#include "store/WorkloadCategories.h"

#include <cstring>

namespace {

std::size_t indexOf(const char* column)
{
    const std::vector<const char*>& columns = WorkloadCategories::totalColumns();
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (std::strcmp(columns[i], column) == 0)
            return i;
    qFatal("no teacher total named %s", column);
}

} // namespace

std::optional<double>& TeacherListRow::figure(const char* column)
{
    return figures[indexOf(column)];
}

const std::optional<double>& TeacherListRow::figure(const char* column) const
{
    return figures[indexOf(column)];
}

std::vector<std::optional<double>> TeacherListRow::totals() const
{
    std::vector<std::optional<double>> all = figures;
    all.push_back(q);
    return all;
}

std::size_t TeacherListRow::figureCount()
{
    return WorkloadCategories::totalColumns().size();
}
