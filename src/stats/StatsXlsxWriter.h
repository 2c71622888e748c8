#pragma once

#include "stats/StatsTable.h"

#include <QString>

#include <vector>

// The statistics as an Excel workbook: one sheet per view, its title on the first row, then each
// table with its caption and heading (bold), numbers stored as numbers, an empty row between
// tables. Texts are escaped as the teacher list's workbook escapes them (XlsxText).
class StatsXlsxWriter
{
public:
    // Throws ReportFileError when the file cannot be written; an earlier file stays as it was.
    static void write(const QString& path, const QString& title, const std::vector<StatsView>& views);
};
