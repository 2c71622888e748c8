#pragma once

#include "reports/ReportPage.h"

#include <QString>

#include <vector>

// Writes page models to a PDF file (A4 portrait, 10 mm margins), drawn by ReportPainter exactly as
// on paper.
class PdfReportWriter
{
public:
    // Throws ReportFileError when the file cannot be written.
    static void write(const QString& path, const QString& title, const std::vector<ReportPage>& pages);
};
