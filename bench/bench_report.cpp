// The teacher workload list for a large synthetic faculty (default 3,000 teachers, 82 pages):
// layout, PDF, XLSX and CSV. Usage: bench_report [TEACHERS] [DIR]; with DIR the files are kept there.
#include "reports/TeacherListReport.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <cmath>
#include <functional>
#include <memory>

namespace {

QTextStream out(stdout);

void timed(const QString& what, double target, const std::function<void()>& step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    out << qSetFieldWidth(36) << Qt::left << what << qSetFieldWidth(0) << QString::number(seconds, 'f', 3) << " s";
    if (target > 0)
        out << "  (target " << target << " s)" << (seconds <= target ? "" : "  SLOW");
    out << Qt::endl;
}

double hundredths(QRandomGenerator& random, int max)
{
    return std::round(random.bounded(max * 100.0)) / 100;
}

TeacherListData syntheticList(int teachers)
{
    static const char16_t* const surnames[] = {u"王", u"李", u"张", u"刘", u"陈", u"杨", u"赵", u"黄", u"周", u"吴"};
    static const char16_t* const given[] = {u"伟", u"芳", u"娜", u"秀英", u"敏", u"静", u"丽", u"强", u"磊", u"军"};
    QRandomGenerator random(2026);
    TeacherListData data{
        QStringLiteral("2026-2027学年信息工程学院"), QDateTime(QDate(2026, 3, 5), QTime(14, 5, 9)), {}};
    data.rows.reserve(std::size_t(teachers));
    for (int i = 0; i < teachers; ++i) {
        TeacherListRow row;
        row.rymc = QString::fromUtf16(surnames[i % 10]) + QString::fromUtf16(given[(i / 10) % 10]) +
                   (i >= 100 ? QString::number(i / 100) : QString());
        row.figure("q11") = hundredths(random, 400);
        row.figure("q12") = hundredths(random, 60);
        if (i % 3 != 0)
            row.figure("q2") = hundredths(random, 80);
        row.figure("q31") = hundredths(random, 40);
        if (i % 4 == 0)
            row.figure("q32") = hundredths(random, 30);
        if (i % 7 == 0)
            row.figure("q33") = hundredths(random, 50);
        double q = 0;
        for (const auto& total : row.totals())
            q += total.value_or(0);
        row.q = std::round(q * 100) / 100;
        data.rows.push_back(row);
    }
    return data;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int teachers = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 3000;
    QTemporaryDir temporary;
    const QString dir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path();

    const TeacherListData data = syntheticList(teachers);
    std::unique_ptr<TeacherListReport> report;
    timed(QStringLiteral("layout, %1 teachers").arg(teachers), 0,
          [&] { report = std::make_unique<TeacherListReport>(data); });
    out << "pages: " << report->pageCount() << Qt::endl;
    timed(QStringLiteral("PDF"), 3, [&] { report->writePdf(dir + QStringLiteral("/list.pdf")); });
    timed(QStringLiteral("PDF again (fonts loaded)"), 3, [&] { report->writePdf(dir + QStringLiteral("/list.pdf")); });
    timed(QStringLiteral("XLSX"), 1, [&] { report->writeXlsx(dir + QStringLiteral("/list.xlsx")); });
    timed(QStringLiteral("CSV"), 0, [&] { report->writeCsv(dir + QStringLiteral("/list.csv")); });
    return 0;
}
