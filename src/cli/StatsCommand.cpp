#include "cli/Cli.h"
#include "cli/NodeArguments.h"
#include "masterdata/Faculties.h"
#include "masterdata/Sections.h"
#include "stats/ChartPainter.h"
#include "stats/ChartSvg.h"
#include "stats/StatsCharts.h"
#include "stats/StatsCsvWriter.h"
#include "stats/StatsPages.h"
#include "stats/StatsSource.h"
#include "stats/StatsViews.h"
#include "stats/StatsXlsxWriter.h"
#include "stats/WorkloadStats.h"
#include "store/DataModule.h"

#include <QGuiApplication>

namespace {

const char* const Formats[] = {"csv", "xlsx", "png", "svg", "pdf"};

struct Output
{
    QString format;
    QString path;
};

Output outputOf(const CommandArguments& given)
{
    for (const char* format : Formats) {
        const QString name = QString::fromLatin1(format);
        if (const std::optional<QString> path = given.value(QStringLiteral("--") + name))
            return {name, *path};
    }
    return {};
}

// An amount option: a plain number with at most two decimals.
std::optional<qint64> amountOption(const CommandArguments& given, const QString& option)
{
    const std::optional<QString> text = given.value(option);
    if (!text)
        return std::nullopt;
    const std::optional<qint64> value = StatsRequest::hundredths(*text);
    if (!value)
        throw Cli::UsageError{QStringLiteral("%1 needs a number with at most two decimals, not %2").arg(option, *text)};
    return value;
}

StatsRequest requestOf(const CommandArguments& given)
{
    StatsRequest r;
    r.allYears = given.has(u"--all-years");
    r.year = given.value(u"--year").value_or(QString());
    const QString by = given.value(u"--by").value_or(QString());
    const std::optional<StatsGrouping> grouping = StatsGroupings::fromWord(by);
    if (!grouping)
        throw Cli::UsageError{QStringLiteral("--by takes faculty, section, title, nature or post, not %1").arg(by)};
    r.grouping = *grouping;
    r.threshold = amountOption(given, QStringLiteral("--threshold"));
    if (const std::optional<qint64> width = amountOption(given, QStringLiteral("--bins"))) {
        if (*width <= 0)
            throw Cli::UsageError{QStringLiteral("--bins needs a width above 0")};
        r.binWidth = *width;
    }
    if (const std::optional<QString> faculty = given.value(u"--faculty"))
        r.node = {Selection::Level::Faculty, *faculty, {}, {}};
    else if (const std::optional<QString> section = given.value(u"--section"))
        r.node = {Selection::Level::Section, {}, *section, {}};
    return r;
}

// Why the store has no such year or node, as `report` says it; none when it has them.
std::optional<QString> problemIn(DataModule& data, const StatsRequest& r)
{
    if (!r.allYears) {
        NodeArguments node{r.year, std::nullopt, std::nullopt, std::nullopt};
        if (r.node.level == Selection::Level::Faculty)
            node.faculty = r.node.faculty;
        if (r.node.level == Selection::Level::Section)
            node.section = r.node.section;
        return node.problemIn(data, NodeArguments::YearUse::Title);
    }
    if (r.node.level == Selection::Level::Faculty && !Faculties(data).exists(r.node.faculty))
        return QStringLiteral("no faculty named \"%1\"").arg(r.node.faculty);
    if (r.node.level == Selection::Level::Section && !Sections(data).existsNamed(r.node.section))
        return QStringLiteral("no section named \"%1\"").arg(r.node.section);
    return std::nullopt;
}

void write(const StatsResult& result, const Output& output)
{
    if (output.format == u"csv")
        StatsCsvWriter::write(output.path, StatsViews::of(result));
    else if (output.format == u"xlsx")
        StatsXlsxWriter::write(output.path, result.title(), StatsViews::of(result));
    else if (output.format == u"png")
        ChartPainter::writePng(output.path, StatsCharts::of(result, StatsCharts::Kind::Bars));
    else if (output.format == u"svg")
        ChartSvg::write(output.path, StatsCharts::of(result, StatsCharts::Kind::Bars));
    else
        StatsPages::writePdf(output.path, result);
}

int runStats(Cli::Context& c)
{
    const StatsRequest request = requestOf(c.args);
    const Output output = outputOf(c.args);
    if (output.format != u"csv" && output.format != u"xlsx" &&
        !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        c.err << "drawing a chart needs the fonts of a graphical application\n";
        return 1;
    }
    DataModule data;
    data.connectTo(c.store);
    if (const std::optional<QString> problem = problemIn(data, request)) {
        c.err << *problem << "\n";
        return 1;
    }
    WorkloadStats stats(*data.database());
    if (request.node.level != Selection::Level::Year) {
        const bool faculty = request.node.level == Selection::Level::Faculty;
        // The same refusal as the report's for a node without teachers, before anything is written.
        if (StatsSource(*data.database()).teachers(request.node).empty()) {
            c.err << (faculty ? QStringLiteral("faculty ") + request.node.faculty
                              : QStringLiteral("section ") + request.node.section)
                  << " has no teachers: nothing written\n";
            return 1;
        }
    }
    const StatsResult result = stats.compute(request);
    write(result, output);
    int teachers = 0;
    for (const StatsYear& y : result.years)
        teachers = std::max(teachers, int(y.teachers.size()));
    c.out << "wrote " << output.path << ": " << result.title() << ", " << teachers
          << (teachers == 1 ? " teacher" : " teachers");
    for (const StatsYear& y : result.years)
        if (!y.hasFigures())
            c.out << ", " << y.year << " " << y.statusText();
    c.out << "\n";
    return 0;
}

} // namespace

Cli::Command statsCommand()
{
    using Option = CommandSyntax::Option;
    using Group = CommandSyntax::Group;
    QList<Option> options{Option::text("--year", "Y"),
                          Option::flag("--all-years"),
                          Option::text("--faculty", "F"),
                          Option::text("--section", "S"),
                          Option::requiredText("--by", "faculty|section|title|nature|post"),
                          Option::text("--threshold", "N"),
                          Option::text("--bins", "W")};
    options << Option::fileName("--csv", "FILE") << Option::fileName("--xlsx", "FILE")
            << Option::fileName("--png", "FILE") << Option::fileName("--svg", "FILE")
            << Option::fileName("--pdf", "FILE");
    return {.name = QStringLiteral("stats"),
            .usage = QStringLiteral("stats (--year Y | --all-years) [--faculty F | --section S] --by "
                                    "faculty|section|title|nature|post [--threshold N] [--bins W] "
                                    "(--csv FILE | --xlsx FILE | --png FILE | --svg FILE | --pdf FILE)"),
            .summary = QStringLiteral(
                "writes the workload statistics of the whole year, a faculty or a section, grouped by faculty, "
                "section, title, nature or post: per group the teachers, each figure's sum, the total's sum, mean, "
                "median, minimum and maximum, the distribution of the teachers' totals in bins of W (default 50) "
                "and the counts below and at or above N; --all-years the years of niandu side by side. Figures come "
                "from each year's workload rows; a year never calculated says so. --csv and --xlsx the tables, --png "
                "and --svg the chart (the stacked figures per group; the years' lines with --all-years), --pdf tables "
                "and charts on A4 pages; an unknown year or node, or a node without teachers, writes nothing (exit 1)"),
            .syntax = {.options = options,
                       .groups = {Group::of(Group::Rule::ExactlyOne, {"--year", "--all-years"}),
                                  Group::of(Group::Rule::AtMostOne, {"--faculty", "--section"}),
                                  Group::of(Group::Rule::ExactlyOne, {"--csv", "--xlsx", "--png", "--svg", "--pdf"})}},
            .run = runStats,
            .drawsPages = true};
}
