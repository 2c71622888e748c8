#pragma once

#include <QString>
#include <QStringList>

#include <variant>
#include <vector>

// A table of the statistics for files and pages: a heading and rows of cells that are empty,
// text, or numbers (amounts in their value, counts as whole numbers).
struct StatsTable
{
    using Cell = std::variant<std::monostate, QString, double>;
    using Row = std::vector<Cell>;

    QString caption; // what the table is, above it ("分组统计", "分布")
    QStringList heading;
    std::vector<Row> rows;

    // A cell as text: numbers in general form ("147.58", "112", "-10"), empty for none.
    static QString text(const Cell& cell);
};

// One view of the statistics: what the screen shows on one page and a workbook on one sheet.
struct StatsView
{
    QString name; // the sheet's name
    std::vector<StatsTable> tables;
};
