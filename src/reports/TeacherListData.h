#pragma once

#include <QDateTime>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// One line of the teacher workload list: the teacher's name and stored totals (`rydm` columns).
// An empty total (a null in the store) prints nothing.
struct TeacherListRow
{
    QString rymc;
    // One per teacher total of the workload categories, in their order (q11, q12, q2, q31, q32, q33).
    std::vector<std::optional<double>> figures = std::vector<std::optional<double>>(figureCount());
    std::optional<double> q;

    // The figure of a total column ("q11").
    std::optional<double>& figure(const char* column);
    const std::optional<double>& figure(const char* column) const;
    // The figures and then the grand total, in the order of the list's columns.
    std::vector<std::optional<double>> totals() const;

    static std::size_t figureCount();
};

// What the teacher workload list is made from: the year title of the selection (`YearTitle`, the
// list appends "一览表"), the moment of generation and the teachers in the order they are shown.
struct TeacherListData
{
    QString yearTitle;
    QDateTime generatedAt;
    std::vector<TeacherListRow> rows;

    QString title() const { return yearTitle + QStringLiteral("一览表"); }
};
