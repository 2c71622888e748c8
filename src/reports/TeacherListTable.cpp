#include "reports/TeacherListTable.h"

#include "reports/ReportFormat.h"
#include "reports/TeacherListColumns.h"
#include "reports/TeacherListTotals.h"

namespace {

TeacherListTable::Cell numberOrEmpty(const std::optional<double>& value)
{
    if (value)
        return *value;
    return {};
}

// The printed figure of a sum or the average; empty where the printout shows nothing.
TeacherListTable::Cell printedFigure(double value)
{
    if (ReportFormat::picture(value).isEmpty())
        return {};
    return ReportFormat::hundredths(value);
}

TeacherListTable::Row teacherRow(int number, const TeacherListRow& teacher)
{
    TeacherListTable::Row row{double(number), teacher.rymc};
    for (const auto& total : teacher.totals())
        row.push_back(numberOrEmpty(total));
    row.emplace_back(); // 备注
    return row;
}

TeacherListTable::Row totalRow(const TeacherListTotals& totals)
{
    TeacherListTable::Row row{{}, QStringLiteral("总 计")};
    for (const double sum : totals.sums)
        row.push_back(printedFigure(sum));
    row.emplace_back();
    return row;
}

TeacherListTable::Row averageRow(const TeacherListTotals& totals)
{
    TeacherListTable::Row row(TeacherListTable::columnCount);
    row[1] = QStringLiteral("人均工作量：");
    row[8] = printedFigure(totals.average);
    return row;
}

} // namespace

TeacherListTable TeacherListTable::of(const TeacherListData& data)
{
    TeacherListTable table;
    table.title = data.title();
    table.heading = teacherListHeadings();
    table.teacherCount = int(data.rows.size());
    table.rows.reserve(data.rows.size() + 2);
    int number = 0;
    for (const TeacherListRow& teacher : data.rows)
        table.rows.push_back(teacherRow(++number, teacher));
    const TeacherListTotals totals = TeacherListTotals::of(data);
    table.rows.push_back(totalRow(totals));
    table.rows.push_back(averageRow(totals));
    return table;
}

QString TeacherListTable::text(const Cell& cell)
{
    if (const auto* text = std::get_if<QString>(&cell))
        return *text;
    if (const auto* number = std::get_if<double>(&cell))
        return ReportFormat::general(*number);
    return {};
}
