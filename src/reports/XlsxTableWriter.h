#pragma once

#include "reports/TeacherListTable.h"

#include <QString>

// The list as an Excel workbook of one sheet: the title across the ten columns, the heading row
// (frozen, so it stays in view while scrolling), the teachers with their totals stored as
// numbers, the total row and the average row. Columns are as wide as their longest text, counted
// in GBK bytes (a Chinese character is two). Printed from a spreadsheet program it comes out on A4,
// one page wide, title and heading repeated on every page. Texts read back as they are (XlsxText).
class XlsxTableWriter
{
public:
    // Throws ReportFileError when the file cannot be written.
    static void write(const QString& path, const TeacherListTable& table);
};
