#pragma once

#include "reports/ReportPage.h"
#include "reports/TeacherListData.h"

#include <QPageLayout>
#include <QString>

#include <vector>

class QPagedPaintDevice;
class QPainter;

// The teacher workload list: its title "<YearTitle>一览表", a page header on every page with the
// page number, the number of teachers and the generation time, one line per teacher with the
// stored totals, and the column sums and average workload under the last line.
//
// Laid out once on construction. Preview and printing draw it on a QPrinter (paint() or
// paintPage() from a paint request), and it writes itself to PDF, XLSX and CSV files for readers
// without the program. A file is written under a temporary name and renamed over the destination
// when complete; a failure throws ReportFileError and leaves an earlier file as it was.
class TeacherListReport
{
public:
    explicit TeacherListReport(TeacherListData data);

    const TeacherListData& data() const { return m_data; }
    QString title() const { return m_data.title(); }

    // A4 portrait with 10 mm margins; set it on a printer before painting.
    static QPageLayout pageLayout();

    const std::vector<ReportPage>& pages() const { return m_pages; }
    int pageCount() const { return int(m_pages.size()); }

    // Draws pages firstPage to lastPage (1-based, inclusive; 0 as lastPage means the last page).
    // False when the device cannot be painted on.
    bool paint(QPagedPaintDevice& device, int firstPage = 1, int lastPage = 0) const;
    // Draws one page (1-based) with a painter already active on a paged device.
    void paintPage(QPainter& painter, int pageNumber) const;

    void writePdf(const QString& path) const;
    void writeXlsx(const QString& path) const;
    void writeCsv(const QString& path) const;

private:
    TeacherListData m_data;
    std::vector<ReportPage> m_pages;
};
