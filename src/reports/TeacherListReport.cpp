#include "reports/TeacherListReport.h"

#include "reports/CsvTableWriter.h"
#include "reports/PdfReportWriter.h"
#include "reports/ReportPainter.h"
#include "reports/TeacherListLayout.h"
#include "reports/TeacherListTable.h"
#include "reports/XlsxTableWriter.h"

#include <utility>

TeacherListReport::TeacherListReport(TeacherListData data)
    : m_data(std::move(data)), m_pages(TeacherListLayout::pages(m_data))
{}

QPageLayout TeacherListReport::pageLayout()
{
    return ReportPainter::pageLayout();
}

bool TeacherListReport::paint(QPagedPaintDevice& device, int firstPage, int lastPage) const
{
    return ReportPainter::paint(device, m_pages, firstPage, lastPage > 0 ? lastPage : pageCount());
}

void TeacherListReport::paintPage(QPainter& painter, int pageNumber) const
{
    if (pageNumber >= 1 && pageNumber <= pageCount())
        ReportPainter::paintPage(painter, m_pages[std::size_t(pageNumber - 1)]);
}

void TeacherListReport::writePdf(const QString& path) const
{
    PdfReportWriter::write(path, title(), m_pages);
}

void TeacherListReport::writeXlsx(const QString& path) const
{
    XlsxTableWriter::write(path, TeacherListTable::of(m_data));
}

void TeacherListReport::writeCsv(const QString& path) const
{
    CsvTableWriter::write(path, TeacherListTable::of(m_data));
}
