#pragma once

#include "reports/TeacherListData.h"

#include <QString>
#include <QStringList>

#include <variant>
#include <vector>

// The teacher workload list as a table for spreadsheets: the ten columns of the printed list, one
// row per teacher with the stored totals as numbers, then a "总 计" row with the sum of every
// column and a "人均工作量：" row with the average under "工作量合计". Sums and the average are the
// figures the printout shows, as numbers rounded to hundredths; where the printout leaves a figure
// empty (it rounds to zero) the cell is empty too.
struct TeacherListTable
{
    // Empty, text or number.
    using Cell = std::variant<std::monostate, QString, double>;
    using Row = std::vector<Cell>;

    static constexpr int columnCount = 10;

    QString title;
    QStringList heading;
    std::vector<Row> rows; // the teachers, then the total row and the average row
    int teacherCount = 0;

    static TeacherListTable of(const TeacherListData& data);
    // A cell as text: numbers in general form (as the printed detail lines), empty for none.
    static QString text(const Cell& cell);
};
