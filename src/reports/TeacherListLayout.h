#pragma once

#include "reports/ReportPage.h"
#include "reports/TeacherListData.h"

#include <array>
#include <vector>

// Lays the teacher workload list out on A4 portrait pages with 10 mm margins: a page header on
// every page, one detail line per teacher and the summary once, directly under the last line.
class TeacherListLayout
{
public:
    static constexpr double pageWidth = 190.0; // printable area of A4 less 10 mm on each side
    static constexpr double pageHeight = 277.0;
    static constexpr double margin = 10.0;
    static constexpr double headerHeight = 28.3;
    static constexpr double detailHeight = 5.6;
    static constexpr double summaryHeight = 15.4;
    // A detail line goes on the current page only while this much room is left below it.
    static constexpr double roomForDetail = 44.6;

    // Column boundaries from the left margin; column i runs from boundaries[i] to boundaries[i + 1].
    static constexpr std::array<double, 11> boundaries{0,     15.1,  36.3,  52.7,  72.5, 91.8,
                                                       110.6, 131.8, 150.0, 170.7, 190.0};

    // Detail lines a page holds (37).
    static int linesPerPage();

    static std::vector<ReportPage> pages(const TeacherListData& data);
};
