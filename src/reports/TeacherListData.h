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
    std::optional<double> q11;
    std::optional<double> q12;
    std::optional<double> q2;
    std::optional<double> q31;
    std::optional<double> q32;
    std::optional<double> q33;
    std::optional<double> q;

    // The seven totals in the order of the list's columns.
    std::array<std::optional<double>, 7> totals() const { return {q11, q12, q2, q31, q32, q33, q}; }
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
