// The workload statistics on a store, without the command around them: the figures of a whole
// year and of every year side by side (median of RUNS runs each), then the files of one year.
// Usage: bench_stats DIR YEAR [RUNS]
#include "stats/ChartPainter.h"
#include "stats/StatsCharts.h"
#include "stats/StatsCsvWriter.h"
#include "stats/StatsPages.h"
#include "stats/StatsViews.h"
#include "stats/WorkloadStats.h"
#include "store/Database.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

QTextStream out(stdout);

double seconds(const std::function<void()>& step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    return double(timer.nsecsElapsed()) / 1e9;
}

void median(const QString& what, int runs, double target, const std::function<void()>& step)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(seconds(step));
    std::sort(times.begin(), times.end());
    const double m = times[times.size() / 2];
    out << qSetFieldWidth(48) << Qt::left << what << qSetFieldWidth(0) << QString::number(m, 'f', 3) << " s";
    if (target > 0)
        out << "  (target " << target << " s)" << (m <= target ? "" : "  SLOW");
    out << Qt::endl;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        out << "usage: bench_stats DIR YEAR [RUNS]" << Qt::endl;
        return 2;
    }
    const std::unique_ptr<Database> db = Database::open(QString::fromLocal8Bit(argv[1]));
    const QString year = QString::fromLocal8Bit(argv[2]);
    const int runs = argc > 3 ? std::max(1, atoi(argv[3])) : 5;
    WorkloadStats stats(*db);
    StatsRequest oneYear;
    oneYear.year = year;
    oneYear.grouping = StatsGrouping::Section;
    oneYear.threshold = 40000;
    StatsRequest allYears = oneYear;
    allYears.allYears = true;
    median(QStringLiteral("statistics of a year by section"), runs, 0.3, [&] { stats.compute(oneYear); });
    median(QStringLiteral("statistics of every year by section"), runs, 1.0, [&] { stats.compute(allYears); });
    const StatsResult result = stats.compute(oneYear);
    QTemporaryDir dir;
    median(QStringLiteral("  its CSV"), runs, 0,
           [&] { StatsCsvWriter::write(dir.filePath(QStringLiteral("s.csv")), StatsViews::of(result)); });
    median(QStringLiteral("  its chart as PNG"), runs, 0, [&] {
        ChartPainter::writePng(dir.filePath(QStringLiteral("s.png")), StatsCharts::of(result, StatsCharts::Kind::Bars));
    });
    median(QStringLiteral("  its PDF"), runs, 0,
           [&] { StatsPages::writePdf(dir.filePath(QStringLiteral("s.pdf")), result); });
    return 0;
}
