#pragma once

#include "reports/ReportPage.h"
#include "stats/ChartPicture.h"
#include "stats/StatsResult.h"
#include "stats/StatsTable.h"

#include <QDateTime>

#include <vector>

// The statistics on A4 pages for the report's page drawing: a header on every page (title, page,
// generation time, where the figures come from and the year's state), the tables of the views
// (the teachers' list aside: the workbook carries it), then the charts, two to a page.
class StatsPages
{
public:
    static std::vector<ReportPage> of(const StatsResult& result,
                                      const QDateTime& generatedAt = QDateTime::currentDateTime());
    // Writes the pages to a PDF file (ReportFileError when it cannot be written).
    static void writePdf(const QString& path, const StatsResult& result);

private:
    explicit StatsPages(QString title, QStringList notes, QDateTime generatedAt);

    void table(const StatsTable& table);
    void chart(const ChartPicture& picture);
    void row(const QStringList& cells, const std::vector<double>& edges, bool heading);
    // Room for `height` mm below the cursor, on a new page when the current one is full.
    void need(double height);
    void newPage();

    QString m_title;
    QStringList m_notes;
    QDateTime m_generatedAt;
    std::vector<ReportPage> m_pages;
    double m_y = 0;
};
