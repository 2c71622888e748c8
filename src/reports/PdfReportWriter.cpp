#include "reports/PdfReportWriter.h"

#include "reports/ReportFileError.h"
#include "reports/ReportPainter.h"
#include "reports/SavedFile.h"

#include <QPdfWriter>

namespace {

// Fine enough that rounding to device units moves nothing by more than 0.02 mm.
constexpr int pdfResolution = 1200;

} // namespace

void PdfReportWriter::write(const QString& path, const QString& title, const std::vector<ReportPage>& pages)
{
    SavedFile::write(path, [&](QIODevice& file) {
        QPdfWriter pdf(&file);
        pdf.setResolution(pdfResolution);
        pdf.setPageLayout(ReportPainter::pageLayout());
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("澜石大学教师工作量统计系统 V2.0"));
        if (!ReportPainter::paint(pdf, pages, 1, int(pages.size())))
            throw ReportFileError(path, QStringLiteral("无法生成 PDF 页面"));
    });
}
