#include "ReportFixtures.h"
#include "reports/ReportFormat.h"
#include "reports/TeacherListLayout.h"
#include "reports/TeacherListReport.h"

#include <QTest>

#include <cmath>
#include <optional>

using Layout = TeacherListLayout;

namespace {

bool near(double a, double b)
{
    return std::abs(a - b) < 1e-9;
}

// The texts of a page whose rect starts at (x, y).
std::vector<const ReportText*> textsAt(const ReportPage& page, double x, double y)
{
    std::vector<const ReportText*> found;
    for (const ReportText& t : page.texts)
        if (near(t.rect.left(), x) && near(t.rect.top(), y))
            found.push_back(&t);
    return found;
}

const ReportText* textAt(const ReportPage& page, double x, double y)
{
    const auto found = textsAt(page, x, y);
    return found.size() == 1 ? found.front() : nullptr;
}

const ReportText* findText(const ReportPage& page, const QString& text)
{
    for (const ReportText& t : page.texts)
        if (t.text == text)
            return &t;
    return nullptr;
}

bool hasRule(const ReportPage& page, double x1, double y1, double x2, double y2)
{
    for (const QLineF& r : page.rules)
        if (near(r.x1(), x1) && near(r.y1(), y1) && near(r.x2(), x2) && near(r.y2(), y2))
            return true;
    return false;
}

int rulesWithin(const ReportPage& page, double top, double bottom)
{
    int n = 0;
    for (const QLineF& r : page.rules)
        if (std::min(r.y1(), r.y2()) >= top - 1e-9 && std::max(r.y1(), r.y2()) <= bottom + 1e-9)
            ++n;
    return n;
}

// Line numbers printed in the first column of the detail lines, in page order.
QList<int> lineNumbers(const ReportPage& page)
{
    QList<int> numbers;
    for (const ReportText& t : page.texts)
        if (near(t.rect.left(), 0) && near(t.rect.right(), 15.1) && t.rect.top() > Layout::headerHeight)
            numbers.push_back(t.text.toInt());
    return numbers;
}

double summaryTop(const ReportPage& page)
{
    return Layout::headerHeight + Layout::detailHeight * double(lineNumbers(page).size());
}

const Qt::Alignment left = Qt::AlignLeft | Qt::AlignTop;
const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignTop;

} // namespace

class TestReportLayout : public QObject
{
    Q_OBJECT

private slots:
    void pagination_data();
    void pagination();
    void pageHeader_data();
    void pageHeader();
    void headingRow();
    void detailLine_data();
    void detailLine();
    void detailRules();
    void summary_data();
    void summary();
    void summaryFigures();
    void emptyList();
    void picture_data();
    void picture();
    void general_data();
    void general();
    void dateLine_data();
    void dateLine();
};

void TestReportLayout::pagination_data()
{
    QTest::addColumn<int>("teachers");
    QTest::addColumn<QList<int>>("linesPerPage");
    QTest::newRow("1") << 1 << QList<int>{1};
    QTest::newRow("37 fill one page") << 37 << QList<int>{37};
    QTest::newRow("38 start page 2") << 38 << QList<int>{37, 1};
    QTest::newRow("74") << 74 << QList<int>{37, 37};
    QTest::newRow("75") << 75 << QList<int>{37, 37, 1};
}

void TestReportLayout::pagination()
{
    QFETCH(int, teachers);
    QFETCH(QList<int>, linesPerPage);
    QCOMPARE(Layout::linesPerPage(), 37);
    const TeacherListReport report(ReportFixtures::teachers(teachers));
    QCOMPARE(report.pageCount(), linesPerPage.size());

    int next = 1;
    int summaries = 0;
    for (const ReportPage& page : report.pages()) {
        const int number = int(&page - report.pages().data()) + 1;
        QCOMPARE(page.number, number);
        const QList<int> lines = lineNumbers(page);
        QCOMPARE(lines.size(), linesPerPage[number - 1]);
        for (int k = 0; k < lines.size(); ++k) {
            QCOMPARE(lines[k], next++);
            const ReportText* t = textAt(page, 0, Layout::headerHeight + 5.6 * k + 0.5);
            QVERIFY(t);
            QCOMPARE(t->text, QString::number(lines[k]));
        }
        // Page number and the whole list's count on every page.
        QVERIFY(textAt(page, 19.1, 16.4));
        QCOMPARE(textAt(page, 19.1, 16.4)->text, QString::number(number));
        QVERIFY(textAt(page, 84.7, 16.4));
        QCOMPARE(textAt(page, 84.7, 16.4)->text, QString::number(teachers));
        QVERIFY(findText(page, report.title()));
        summaries += findText(page, QStringLiteral("总 计")) ? 1 : 0;
    }
    QCOMPARE(next, teachers + 1);
    QCOMPARE(summaries, 1);
    // The summary sits directly under the last line of the last page.
    const ReportPage& last = report.pages().back();
    const ReportText* total = findText(last, QStringLiteral("总 计"));
    QVERIFY(total);
    QVERIFY(near(total->rect.top(), summaryTop(last) + 1.3));
    QVERIFY(summaryTop(last) + Layout::summaryHeight <= Layout::pageHeight);
}

void TestReportLayout::pageHeader_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("font");
    QTest::newRow("title") << 42.3 << 6.4 << QStringLiteral("2026-2027学年软件工程教研室一览表")
                           << int(ReportFont::Title);
    QTest::newRow("页码") << 6.1 << 16.4 << QStringLiteral("页码：") << int(ReportFont::Body);
    QTest::newRow("page number") << 19.1 << 16.4 << QStringLiteral("2") << int(ReportFont::Body);
    QTest::newRow("人数") << 71.7 << 16.4 << QStringLiteral("人数：") << int(ReportFont::Body);
    QTest::newRow("count") << 84.7 << 16.4 << QStringLiteral("40") << int(ReportFont::Body);
    QTest::newRow("日期") << 143.7 << 16.4 << QStringLiteral("日期：") << int(ReportFont::Body);
    QTest::newRow("date") << 154.5 << 16.4 << QStringLiteral("2026/3/5 14:05:09") << int(ReportFont::Body);
}

void TestReportLayout::pageHeader()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(QString, text);
    QFETCH(int, font);
    const TeacherListReport report(ReportFixtures::teachers(40));
    const ReportText* t = textAt(report.pages().at(1), x, y);
    QVERIFY(t);
    QCOMPARE(t->text, text);
    QCOMPARE(t->alignment, left);
    QCOMPARE(int(t->font), font);
}

void TestReportLayout::headingRow()
{
    const TeacherListReport report(ReportFixtures::teachers(1));
    const ReportPage& page = report.pages().front();
    const QStringList headings{QStringLiteral("序号"),         QStringLiteral("姓名"),
                               QStringLiteral("课堂教学"),     QStringLiteral("课外教学"),
                               QStringLiteral("实验教学"),     QStringLiteral("实习、设计"),
                               QStringLiteral("本科毕业论文"), QStringLiteral("指导研究生"),
                               QStringLiteral("工作量合计"),   QStringLiteral("备注")};
    const double x[] = {4.2, 21.4, 38.1, 56.4, 75.2, 93.1, 111.7, 133.4, 152.4, 175.7};
    for (int i = 0; i < headings.size(); ++i) {
        const ReportText* t = textAt(page, x[i], 21.2);
        QVERIFY2(t, qPrintable(headings[i]));
        QCOMPARE(t->text, headings[i]);
        QVERIFY(near(t->rect.bottom(), 27.8));
        QVERIFY(t->alignment & Qt::AlignLeft);
        QCOMPARE(int(t->font), int(ReportFont::Body));
    }
    QVERIFY(hasRule(page, 0, 21.2, 190, 21.2));
    QVERIFY(hasRule(page, 0, 27.8, 190, 27.8));
    // The column rules cross the heading's lower rule and reach the band's bottom, where the first
    // detail line's rules begin.
    for (const double b : {15.1, 36.3, 52.7, 72.5, 91.8, 110.6, 131.8, 150.0, 170.7})
        QVERIFY2(hasRule(page, b, 21.2, b, 28.3), qPrintable(QString::number(b)));
    // The header holds its two horizontal and nine vertical rules and nothing else.
    QCOMPARE(rulesWithin(page, 0, Layout::headerHeight), 11);
}

void TestReportLayout::detailLine_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("right");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isCentred");
    QTest::addColumn<int>("font");
    // Line 2 of the fixture: 教师2 with q11 2, q12 0.5, no q2, q31 0.25, q32 2, q33 1.5, q 6.25.
    const int body = int(ReportFont::Body);
    QTest::newRow("序号") << 0.0 << 15.1 << QStringLiteral("2") << true << body;
    QTest::newRow("姓名") << 15.1 << 36.3 << QStringLiteral("教师2") << true << body;
    QTest::newRow("课堂教学 8 point") << 36.3 << 52.7 << QStringLiteral("2") << true << int(ReportFont::SmallBody);
    QTest::newRow("课外教学") << 52.7 << 72.5 << QStringLiteral("0.5") << true << body;
    QTest::newRow("实验教学 empty") << 72.5 << 91.8 << QString() << true << body;
    QTest::newRow("实习、设计") << 91.8 << 110.6 << QStringLiteral("0.25") << true << body;
    QTest::newRow("本科毕业论文 left") << 111.7 << 131.8 << QStringLiteral("2") << false << body;
    QTest::newRow("指导研究生 left") << 133.4 << 150.0 << QStringLiteral("1.5") << false << body;
    QTest::newRow("工作量合计") << 150.0 << 170.7 << QStringLiteral("6.25") << true << body;
}

void TestReportLayout::detailLine()
{
    QFETCH(double, x);
    QFETCH(double, right);
    QFETCH(QString, text);
    QFETCH(bool, isCentred);
    QFETCH(int, font);
    const TeacherListReport report(ReportFixtures::teachers(2));
    const double y = Layout::headerHeight + Layout::detailHeight + 0.5;
    const ReportText* t = textAt(report.pages().front(), x, y);
    QVERIFY(t);
    QCOMPARE(t->text, text);
    QVERIFY(near(t->rect.right(), right));
    QCOMPARE(t->alignment, isCentred ? centred : left);
    QCOMPARE(int(t->font), font);
}

void TestReportLayout::detailRules()
{
    const TeacherListReport report(ReportFixtures::teachers(3));
    const ReportPage& page = report.pages().front();
    for (int k = 0; k < 3; ++k) {
        const double top = Layout::headerHeight + Layout::detailHeight * k;
        // Column rules join the next line's; the last line's end on its bottom rule.
        const double bottom = top + (k < 2 ? 5.6 : 5.3);
        for (const double b : {15.1, 36.3, 52.7, 72.5, 91.8, 110.6, 131.8, 150.0, 170.7})
            QVERIFY(hasRule(page, b, top, b, bottom));
        QVERIFY(hasRule(page, 0, top + 5.3, 190, top + 5.3));
        QCOMPARE(rulesWithin(page, top, top + 5.6), 10);
        // Nothing but the nine values of the line (备注 stays empty).
        int texts = 0;
        for (const ReportText& t : page.texts)
            texts += t.rect.top() >= top && t.rect.top() < top + 5.6 ? 1 : 0;
        QCOMPARE(texts, 9);
    }
    // Line 37 is the last of a full page: its rules end on its bottom rule, where the page's table ends.
    const TeacherListReport twoPages(ReportFixtures::teachers(38));
    const double top = Layout::headerHeight + Layout::detailHeight * 36;
    for (const double b : {15.1, 36.3, 52.7, 72.5, 91.8, 110.6, 131.8, 150.0, 170.7})
        QVERIFY(hasRule(twoPages.pages().front(), b, top, b, top + 5.3));
}

void TestReportLayout::summary_data()
{
    QTest::addColumn<int>("teachers");
    QTest::addColumn<double>("top");
    QTest::newRow("1") << 1 << 28.3 + 5.6;
    QTest::newRow("37") << 37 << 28.3 + 37 * 5.6;
    QTest::newRow("38") << 38 << 28.3 + 5.6;
}

void TestReportLayout::summary()
{
    QFETCH(int, teachers);
    QFETCH(double, top);
    const TeacherListReport report(ReportFixtures::teachers(teachers));
    const ReportPage& page = report.pages().back();

    struct Placed
    {
        double left, right, y;
        QString text;
    };
    const QList<Placed> placed{
        {15.1, 23.3, 1.3, QStringLiteral("总 计")},
        {38.1, 70.1, 1.3, {}},
        {73.6, 90.8, 1.3, {}},
        {92.6, 109.8, 1.3, {}},
        {111.7, 131.5, 1.3, {}},
        {132.3, 149.5, 1.3, {}},
        {150.8, 172.2, 1.3, {}},
        {7.4, 26.7, 7.4, QStringLiteral("人均工作量：")},
        {28.1, 59.5, 7.4, {}},
    };
    for (const Placed& p : placed) {
        const ReportText* t = textAt(page, p.left, top + p.y);
        QVERIFY2(t, qPrintable(QString::number(p.left)));
        QVERIFY(near(t->rect.right(), p.right));
        QCOMPARE(t->alignment, centred);
        if (!p.text.isEmpty())
            QCOMPARE(t->text, p.text);
    }
    const ReportText* preparer = textAt(page, 143.7, top + 7.4);
    QVERIFY(preparer);
    QCOMPARE(preparer->text, QStringLiteral("制表人："));
    QCOMPARE(preparer->alignment, left);

    for (const double x : {36.3, 72.5, 91.8, 110.6, 131.8, 150.0})
        QVERIFY(hasRule(page, x, top + 1.3, x, top + 6.4));
    QVERIFY(hasRule(page, 0, top + 6.4, 190, top + 6.4));
    QCOMPARE(rulesWithin(page, top, top + Layout::summaryHeight), 7);
}

void TestReportLayout::summaryFigures()
{
    TeacherListData data = ReportFixtures::teachers(0);
    const std::optional<double> none;
    const TeacherListRow a = ReportFixtures::row(QStringLiteral("甲"), {1000, 200, 0.125, none, 10, 0.3}, 1210.125);
    const TeacherListRow b = ReportFixtures::row(QStringLiteral("乙"), {30, 4.5, 0.125, none, 2, 0.7}, 37);
    const TeacherListRow c = ReportFixtures::row(QStringLiteral("丙"), {none, none, none, none, none, none}, none);
    data.rows = {a, b, c};
    const TeacherListReport report(data);
    const ReportPage& page = report.pages().back();
    const double top = 28.3 + 3 * 5.6 + 1.3;
    auto at = [&](double x, double y) {
        const ReportText* t = textAt(page, x, y);
        return t ? t->text : QStringLiteral("<missing>");
    };
    QCOMPARE(at(38.1, top), QStringLiteral("1234.5")); // q11 + q12 as one figure
    QCOMPARE(at(73.6, top), QStringLiteral(".25"));
    QCOMPARE(at(92.6, top), QString()); // a zero sum leaves its cell empty
    QCOMPARE(at(111.7, top), QStringLiteral("12"));
    QCOMPARE(at(132.3, top), QStringLiteral("1"));
    QCOMPARE(at(150.8, top), QStringLiteral("1247.13")); // 1247.125 rounded half away from zero
    // The average counts every teacher, the one without totals too: 1247.125 / 3.
    QCOMPARE(at(28.1, top + 6.1), QStringLiteral("415.71"));
}

void TestReportLayout::emptyList()
{
    const TeacherListReport report(ReportFixtures::teachers(0));
    QCOMPARE(report.pageCount(), 1);
    const ReportPage& page = report.pages().front();
    QVERIFY(findText(page, QStringLiteral("总 计")));
    QCOMPARE(textAt(page, 84.7, 16.4)->text, QStringLiteral("0"));
    QCOMPARE(textAt(page, 28.1, 28.3 + 7.4)->text, QString());
}

void TestReportLayout::picture_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("1234.5") << 1234.5 << QStringLiteral("1234.5");
    QTest::newRow("0.25 without leading zero") << 0.25 << QStringLiteral(".25");
    QTest::newRow("zero is empty") << 0.0 << QString();
    QTest::newRow("negative zero is empty") << -0.0 << QString();
    QTest::newRow("whole number without point") << 12.0 << QStringLiteral("12");
    QTest::newRow("12.345 rounds up") << 12.345 << QStringLiteral("12.35");
    QTest::newRow("12.344 rounds down") << 12.344 << QStringLiteral("12.34");
    QTest::newRow("1.005 rounds as its 15-digit decimal") << 1.005 << QStringLiteral("1.01");
    QTest::newRow("99.995 carries") << 99.995 << QStringLiteral("100");
    QTest::newRow("0.005") << 0.005 << QStringLiteral(".01");
    QTest::newRow("0.004 rounds to empty") << 0.004 << QString();
    QTest::newRow("-0.004 rounds to empty") << -0.004 << QString();
    QTest::newRow("negative fraction") << -0.25 << QStringLiteral("-.25");
    QTest::newRow("negative") << -1234.567 << QStringLiteral("-1234.57");
    QTest::newRow("largest total") << 21474836.47 << QStringLiteral("21474836.47");
    QTest::newRow("more than ten digits") << 123456789012.5 << QStringLiteral("123456789012.5");
    QTest::newRow("1e20") << 1e20 << QStringLiteral("100000000000000000000");
    QTest::newRow("sum of hundredths") << 0.1 + 0.2 << QStringLiteral(".3");
}

void TestReportLayout::picture()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(ReportFormat::picture(value), text);
}

void TestReportLayout::general_data()
{
    QTest::addColumn<std::optional<double>>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << std::optional<double>() << QString();
    QTest::newRow("zero") << std::optional<double>(0.0) << QStringLiteral("0");
    QTest::newRow("whole") << std::optional<double>(12.0) << QStringLiteral("12");
    QTest::newRow("fraction keeps leading zero") << std::optional<double>(0.25) << QStringLiteral("0.25");
    QTest::newRow("negative") << std::optional<double>(-3.75) << QStringLiteral("-3.75");
    QTest::newRow("15 digits") << std::optional<double>(64.0 / 3) << QStringLiteral("21.3333333333333");
    QTest::newRow("binary noise dropped") << std::optional<double>(0.1 + 0.2) << QStringLiteral("0.3");
    QTest::newRow("large") << std::optional<double>(123456789012345.0) << QStringLiteral("123456789012345");
}

void TestReportLayout::general()
{
    QFETCH(std::optional<double>, value);
    QFETCH(QString, text);
    QCOMPARE(ReportFormat::general(value), text);
}

void TestReportLayout::dateLine_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("text");
    const QDate day(2026, 3, 5);
    QTest::newRow("afternoon") << QDateTime(day, QTime(14, 5, 9)) << QStringLiteral("2026/3/5 14:05:09");
    QTest::newRow("midnight leaves the time out") << QDateTime(day, QTime(0, 0)) << QStringLiteral("2026/3/5");
    QTest::newRow("one second past midnight") << QDateTime(day, QTime(0, 0, 1)) << QStringLiteral("2026/3/5 0:00:01");
    QTest::newRow("one millisecond past midnight")
        << QDateTime(day, QTime(0, 0, 0, 1)) << QStringLiteral("2026/3/5 0:00:00");
    QTest::newRow("two-digit month and day")
        << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)) << QStringLiteral("2026/12/31 23:59:59");
}

void TestReportLayout::dateLine()
{
    QFETCH(QDateTime, moment);
    QFETCH(QString, text);
    QCOMPARE(ReportFormat::dateTime(moment), text);
    TeacherListData data = ReportFixtures::teachers(1);
    data.generatedAt = moment;
    const TeacherListReport report(data);
    QCOMPARE(textAt(report.pages().front(), 154.5, 16.4)->text, text);
}

QTEST_GUILESS_MAIN(TestReportLayout)
#include "tst_report_layout.moc"
