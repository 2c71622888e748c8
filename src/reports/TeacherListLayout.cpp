#include "reports/TeacherListLayout.h"

#include "reports/ReportFormat.h"
#include "reports/TeacherListColumns.h"
#include "reports/TeacherListTotals.h"

namespace {

using Layout = TeacherListLayout;

constexpr std::array<double, 10> headingX{4.2, 21.4, 38.1, 56.4, 75.2, 93.1, 111.7, 133.4, 152.4, 175.7};

constexpr double lineHeight = 4.2;  // one line of 9 point text
constexpr double titleHeight = 8.0; // one line of 18 point text
constexpr double infoLineY = 16.4;
constexpr double headingTop = 21.2;
constexpr double headingBottom = 27.8;
constexpr double detailTextY = 0.5;
constexpr double detailRuleY = 5.3;

// Pagination is counted in tenths of a millimetre so that "at least 44.6 mm left" is exact.
int tenths(double mm)
{
    return int(mm * 10 + 0.5);
}

class PageBuilder
{
public:
    explicit PageBuilder(ReportPage& page) : m_page(page) {}

    void text(double left, double top, double right, double bottom, Qt::Alignment alignment, const QString& text,
              ReportFont font = ReportFont::Body)
    {
        m_page.texts.push_back({QRectF(QPointF(left, top), QPointF(right, bottom)), alignment, font, text});
    }
    // A left-aligned 9 point line at (x, y) that may run up to `right`.
    void label(double x, double y, double right, const QString& text)
    {
        this->text(x, y, right, y + lineHeight, Qt::AlignLeft | Qt::AlignTop, text);
    }
    void centred(double left, double right, double y, const QString& text, ReportFont font = ReportFont::Body)
    {
        this->text(left, y, right, y + lineHeight, Qt::AlignHCenter | Qt::AlignTop, text, font);
    }
    void horizontalRule(double y) { m_page.rules.emplace_back(0.0, y, Layout::pageWidth, y); }
    void verticalRule(double x, double top, double bottom) { m_page.rules.emplace_back(x, top, x, bottom); }

private:
    ReportPage& m_page;
};

void addPageHeader(PageBuilder& b, const TeacherListData& data, int pageNumber)
{
    b.text(42.3, 6.4, Layout::pageWidth, 6.4 + titleHeight, Qt::AlignLeft | Qt::AlignTop, data.title(),
           ReportFont::Title);

    b.label(6.1, infoLineY, 19.1, QStringLiteral("页码："));
    b.label(19.1, infoLineY, 71.7, QString::number(pageNumber));
    b.label(71.7, infoLineY, 84.7, QStringLiteral("人数："));
    b.label(84.7, infoLineY, 143.7, QString::number(data.rows.size()));
    b.label(143.7, infoLineY, 154.5, QStringLiteral("日期："));
    b.label(154.5, infoLineY, Layout::pageWidth, ReportFormat::dateTime(data.generatedAt));

    b.horizontalRule(headingTop);
    b.horizontalRule(headingBottom);
    for (std::size_t i = 0; i < headingX.size(); ++i)
        b.text(headingX[i], headingTop, Layout::boundaries[i + 1], headingBottom, Qt::AlignLeft | Qt::AlignVCenter,
               teacherListHeadings().value(qsizetype(i)));
    // The heading's column rules run on to the bottom of the band, where the detail lines' rules
    // begin, so that every column rule is one unbroken line from the heading down.
    for (std::size_t i = 1; i + 1 < Layout::boundaries.size(); ++i)
        b.verticalRule(Layout::boundaries[i], headingTop, Layout::headerHeight);
}

// The column rules of a line reach the next line's; under the last line of a page they end on
// its bottom rule.
void addDetailLine(PageBuilder& b, double top, int number, const TeacherListRow& row, bool lastOnPage)
{
    const double y = top + detailTextY;
    const auto& x = Layout::boundaries;
    b.centred(x[0], x[1], y, QString::number(number));
    b.centred(x[1], x[2], y, row.rymc);
    b.centred(x[2], x[3], y, ReportFormat::general(row.figure("q11")), ReportFont::SmallBody);
    b.centred(x[3], x[4], y, ReportFormat::general(row.figure("q12")));
    b.centred(x[4], x[5], y, ReportFormat::general(row.figure("q2")));
    b.centred(x[5], x[6], y, ReportFormat::general(row.figure("q31")));
    // The two left-aligned columns start where their headings start.
    b.label(headingX[6], y, x[7], ReportFormat::general(row.figure("q32")));
    b.label(headingX[7], y, x[8], ReportFormat::general(row.figure("q33")));
    b.centred(x[8], x[9], y, ReportFormat::general(row.q));

    for (std::size_t i = 1; i + 1 < x.size(); ++i)
        b.verticalRule(x[i], top, top + (lastOnPage ? detailRuleY : Layout::detailHeight));
    b.horizontalRule(top + detailRuleY);
}

void addSummary(PageBuilder& b, double top, const TeacherListTotals& totals)
{
    const double firstTop = top + 1.3;
    // The rules of the first line end on the rule under it.
    const double firstBottom = top + 6.4;
    for (const double x : {36.3, 72.5, 91.8, 110.6, 131.8, 150.0})
        b.verticalRule(x, firstTop, firstBottom);
    b.centred(15.1, 23.3, firstTop, QStringLiteral("总 计"));
    b.centred(38.1, 70.1, firstTop, ReportFormat::picture(totals.classroomAndOutOfClass()));
    b.centred(73.6, 90.8, firstTop, ReportFormat::picture(totals.sums[2]));
    b.centred(92.6, 109.8, firstTop, ReportFormat::picture(totals.sums[3]));
    b.centred(111.7, 131.5, firstTop, ReportFormat::picture(totals.sums[4]));
    b.centred(132.3, 149.5, firstTop, ReportFormat::picture(totals.sums[5]));
    b.centred(150.8, 172.2, firstTop, ReportFormat::picture(totals.sums[6]));

    b.horizontalRule(firstBottom);

    const double secondTop = top + 7.4;
    b.centred(7.4, 26.7, secondTop, QStringLiteral("人均工作量："));
    b.centred(28.1, 59.5, secondTop, ReportFormat::picture(totals.average));
    b.label(143.7, secondTop, Layout::pageWidth, QStringLiteral("制表人："));
}

} // namespace

int TeacherListLayout::linesPerPage()
{
    const int room = tenths(pageHeight) - tenths(headerHeight) - tenths(roomForDetail);
    return room / tenths(detailHeight) + 1;
}

std::vector<ReportPage> TeacherListLayout::pages(const TeacherListData& data)
{
    std::vector<ReportPage> pages;
    int y = 0; // tenths of a millimetre from the top of the current page
    auto startPage = [&] {
        ReportPage& page = pages.emplace_back();
        page.number = int(pages.size());
        PageBuilder b(page);
        addPageHeader(b, data, page.number);
        y = tenths(headerHeight);
    };

    auto fits = [](int top) { return tenths(pageHeight) - top >= tenths(roomForDetail); };
    startPage();
    for (std::size_t i = 0; i < data.rows.size(); ++i) {
        if (!fits(y))
            startPage();
        const bool lastOnPage = i + 1 == data.rows.size() || !fits(y + tenths(detailHeight));
        PageBuilder b(pages.back());
        addDetailLine(b, y / 10.0, int(i) + 1, data.rows[i], lastOnPage);
        y += tenths(detailHeight);
    }
    PageBuilder b(pages.back());
    addSummary(b, y / 10.0, TeacherListTotals::of(data));
    return pages;
}
