#include "reports/ReportPainter.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace {

constexpr double mmPerInch = 25.4;
constexpr double ruleWidthMm = 0.2;

// Maps millimetres on the printable area to the painter's device units.
class MmScale
{
public:
    explicit MmScale(const QPaintDevice& device)
        : m_x(device.logicalDpiX() / mmPerInch), m_y(device.logicalDpiY() / mmPerInch)
    {}
    QPointF point(QPointF mm) const { return {mm.x() * m_x, mm.y() * m_y}; }
    QRectF rect(const QRectF& mm) const { return {point(mm.topLeft()), point(mm.bottomRight())}; }
    QLineF line(const QLineF& mm) const { return {point(mm.p1()), point(mm.p2())}; }
    double width(double mm) const { return mm * m_x; }

private:
    double m_x;
    double m_y;
};

QFont makeFont(const QString& face, const QString& standIn, double points, bool bold)
{
    QFont font;
    // The first family that is installed is used.
    font.setFamilies({face, standIn});
    font.setPointSizeF(points);
    font.setBold(bold);
    // Glyph positions as designed, not snapped to the device grid: the layout is in millimetres.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace

QPageLayout ReportPainter::pageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

QFont ReportPainter::font(ReportFont role)
{
    switch (role) {
    case ReportFont::Title:
        return makeFont(QStringLiteral("楷体_GB2312"), QStringLiteral("AR PL UKai CN"), 18, true);
    case ReportFont::SmallBody:
        return makeFont(QStringLiteral("宋体"), QStringLiteral("AR PL UMing CN"), 8, false);
    case ReportFont::Body:
        break;
    }
    return makeFont(QStringLiteral("宋体"), QStringLiteral("AR PL UMing CN"), 9, false);
}

void ReportPainter::paintPage(QPainter& painter, const ReportPage& page)
{
    const MmScale mm(*painter.device());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, mm.width(ruleWidthMm), Qt::SolidLine, Qt::FlatCap));
    for (const QLineF& rule : page.rules)
        painter.drawLine(mm.line(rule));
    for (const ReportDrawing& drawing : page.drawings)
        drawing.draw(painter, mm.rect(drawing.rect));

    const QFont fonts[] = {font(ReportFont::Title), font(ReportFont::Body), font(ReportFont::SmallBody)};
    const QFontMetricsF metrics[] = {
        {fonts[0], painter.device()}, {fonts[1], painter.device()}, {fonts[2], painter.device()}};
    for (const ReportText& text : page.texts) {
        if (text.text.isEmpty())
            continue;
        const int role = int(text.font);
        QRectF rect = mm.rect(text.rect);
        const double width = metrics[role].horizontalAdvance(text.text);
        QFont used = fonts[role];
        // A text wider than its room stays inside the page and its column: the title first moves
        // left to end at the right margin; what still does not fit is drawn smaller.
        if (width > rect.width() && text.font == ReportFont::Title)
            rect.setLeft(std::max(0.0, rect.right() - width));
        if (width > rect.width())
            used.setPointSizeF(used.pointSizeF() * rect.width() / width);
        painter.setFont(used);
        painter.drawText(rect, int(text.alignment) | Qt::TextDontClip | Qt::TextSingleLine, text.text);
    }
    painter.restore();
}

bool ReportPainter::paint(QPagedPaintDevice& device, const std::vector<ReportPage>& pages, int firstPage, int lastPage)
{
    const int first = std::max(firstPage, 1);
    const int last = std::min(lastPage, int(pages.size()));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    bool paged = true;
    for (int number = first; number <= last && paged; ++number) {
        paged = number == first || device.newPage();
        if (paged)
            paintPage(painter, pages[std::size_t(number - 1)]);
    }
    return painter.end() && paged;
}
