#include "stats/StatsPages.h"

#include "reports/PdfReportWriter.h"
#include "reports/ReportFormat.h"
#include "stats/ChartPainter.h"
#include "stats/StatsCharts.h"
#include "stats/StatsViews.h"

#include <memory>

namespace {

constexpr double PageWidth = 190;
constexpr double PageHeight = 277;
constexpr double RowHeight = 5.6;
constexpr double ChartHeight = PageWidth * 450 / 800;

// Column edges: the first column wider (names), the others sharing the rest.
std::vector<double> edgesFor(int columns)
{
    std::vector<double> edges{0};
    const double first = columns > 4 ? 26 : PageWidth / columns;
    edges.push_back(first);
    for (int c = 1; c < columns; ++c)
        edges.push_back(first + (PageWidth - first) * c / (columns - 1));
    return edges;
}

} // namespace

StatsPages::StatsPages(QString title, QStringList notes, QDateTime generatedAt)
    : m_title(std::move(title)), m_notes(std::move(notes)), m_generatedAt(std::move(generatedAt))
{
    newPage();
}

void StatsPages::newPage()
{
    ReportPage page;
    page.number = int(m_pages.size()) + 1;
    page.texts.push_back({QRectF(0, 0, PageWidth, 9), Qt::AlignHCenter, ReportFont::Title, m_title});
    page.texts.push_back(
        {QRectF(0, 11, PageWidth, 5), Qt::AlignLeft, ReportFont::Body,
         QStringLiteral("页码：%1    日期：%2").arg(page.number).arg(ReportFormat::dateTime(m_generatedAt))});
    double y = 16;
    for (const QString& note : m_notes) {
        page.texts.push_back({QRectF(0, y, PageWidth, 4.5), Qt::AlignLeft, ReportFont::SmallBody, note});
        y += 4.5;
    }
    page.rules.push_back(QLineF(0, y + 1, PageWidth, y + 1));
    m_pages.push_back(page);
    m_y = y + 4;
}

void StatsPages::need(double height)
{
    if (m_y + height > PageHeight)
        newPage();
}

void StatsPages::row(const QStringList& cells, const std::vector<double>& edges, bool heading)
{
    need(RowHeight);
    ReportPage& page = m_pages.back();
    for (int c = 0; c < cells.size() && std::size_t(c + 1) < edges.size(); ++c) {
        const QRectF rect(edges[std::size_t(c)] + 0.5, m_y + 0.5, edges[std::size_t(c + 1)] - edges[std::size_t(c)] - 1,
                          RowHeight - 1);
        page.texts.push_back({rect, c == 0 || heading ? Qt::AlignHCenter : Qt::AlignRight, ReportFont::Body, cells[c]});
    }
    for (const double x : edges)
        page.rules.push_back(QLineF(x, m_y, x, m_y + RowHeight));
    if (heading)
        page.rules.push_back(QLineF(0, m_y, PageWidth, m_y));
    page.rules.push_back(QLineF(0, m_y + RowHeight, PageWidth, m_y + RowHeight));
    m_y += RowHeight;
}

void StatsPages::table(const StatsTable& table)
{
    need(RowHeight * 3);
    m_pages.back().texts.push_back(
        {QRectF(0, m_y, PageWidth, RowHeight), Qt::AlignLeft, ReportFont::Body, table.caption});
    m_y += RowHeight;
    const std::vector<double> edges = edgesFor(int(table.heading.size()));
    row(table.heading, edges, true);
    for (const StatsTable::Row& cells : table.rows) {
        if (m_y + RowHeight > PageHeight) {
            newPage();
            row(table.heading, edges, true);
        }
        QStringList texts;
        for (const StatsTable::Cell& cell : cells)
            texts << (std::holds_alternative<double>(cell) ? ReportFormat::hundredthsText(std::get<double>(cell))
                                                           : StatsTable::text(cell));
        row(texts, edges, false);
    }
    m_y += RowHeight;
}

void StatsPages::chart(const ChartPicture& picture)
{
    need(ChartHeight + 2);
    auto shared = std::make_shared<ChartPicture>(picture);
    m_pages.back().drawings.push_back(
        {QRectF(0, m_y, PageWidth, ChartHeight),
         [shared](QPainter& painter, const QRectF& rect) { ChartPainter::paint(painter, *shared, rect); }});
    m_y += ChartHeight + 4;
}

std::vector<ReportPage> StatsPages::of(const StatsResult& result, const QDateTime& generatedAt)
{
    QStringList notes;
    const QString source = StatsViews::sourceNote();
    const qsizetype half = source.indexOf(u'。') + 1;
    notes << source.left(half) << source.mid(half);
    QStringList states;
    for (const StatsYear& y : result.years)
        states << StatsViews::stateNote(y);
    notes << states.join(QStringLiteral("；"));
    StatsPages pages(result.title(), notes, generatedAt);
    for (const StatsView& view : StatsViews::of(result))
        if (view.name != QStringLiteral("教师"))
            for (const StatsTable& t : view.tables)
                pages.table(t);
    if (result.request.allYears) {
        pages.chart(StatsCharts::years(result));
    } else {
        pages.chart(StatsCharts::bars(result, result.years.front()));
        pages.chart(StatsCharts::histogram(result, result.years.front()));
    }
    return pages.m_pages;
}

void StatsPages::writePdf(const QString& path, const StatsResult& result)
{
    PdfReportWriter::write(path, result.title(), of(result));
}
