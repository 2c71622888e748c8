#include "Cli.h"

#include "DataModuleScope.h"
#include "Database.h"
#include "FUnit.h"
#include "LoginState.h"
#include "NodeFilters.h"

namespace {

struct CalcOptions
{
    QString year;
    QString faculty;
    QString section;
    QString teacher;
    bool all = false;
    bool trace = false;
};

CalcOptions parse(const QStringList& args)
{
    CalcOptions o;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto value = [&]() -> QString {
            if (i + 1 >= args.size())
                throw Cli::UsageError{QStringLiteral("%1 wants a value").arg(a)};
            return args[++i];
        };
        if (a == u"--year")
            o.year = value();
        else if (a == u"--faculty")
            o.faculty = value();
        else if (a == u"--section")
            o.section = value();
        else if (a == u"--teacher")
            o.teacher = value();
        else if (a == u"--all")
            o.all = true;
        else if (a == u"--trace")
            o.trace = true;
        else
            throw Cli::UsageError{QStringLiteral("unknown argument %1").arg(a)};
    }
    if (o.year.isEmpty())
        throw Cli::UsageError{QStringLiteral("--year is required")};
    const int nodes = int(o.all) + int(!o.faculty.isEmpty()) + int(!o.section.isEmpty() || !o.teacher.isEmpty());
    if (nodes != 1)
        throw Cli::UsageError{
            QStringLiteral("give exactly one of --faculty, --section, --teacher with --section, --all")};
    if (!o.teacher.isEmpty() && o.section.isEmpty())
        throw Cli::UsageError{QStringLiteral("--teacher wants --section too")};
    return o;
}

int runCalc(Cli::Context& c)
{
    const CalcOptions o = parse(c.args);
    DataModuleScope scope(c.dataDir);
    if (o.trace) {
        scope.db().setTracer(
            [&c](const QString& statement) { c.out << QString(statement).replace(u'\n', u' ') << "\n"; });
    }

    CalculationSummary total;
    int nodes = 1;
    if (o.all) {
        total = CalculateAllFaculties(o.year, &nodes);
    } else {
        const NodeFilters node = !o.faculty.isEmpty()   ? NodeFilters::faculty(o.year, o.faculty)
                                 : !o.teacher.isEmpty() ? NodeFilters::teacher(o.year, o.teacher, o.section)
                                                        : NodeFilters::section(o.year, o.section);
        node.applyToLoginState();
        total = CalculateWorkload(loginState().YearFilter);
    }
    c.out << "calculated " << nodes << (nodes == 1 ? " node" : " nodes") << ": " << total.teachersUpdated
          << " teachers updated, " << total.rowsTouched << " workload row updates\n";
    return 0;
}

} // namespace

Cli::Command calcCommand()
{
    return {QStringLiteral("calc"),
            QStringLiteral("calc --year Y (--faculty F | --section S | --teacher T --section S | --all) [--trace]"),
            QStringLiteral("computes the workload of a tree node's rows and its teachers' totals from the parameter "
                           "rows, exactly as the main window's \"计算\" does; --all does every faculty of the year in "
                           "turn; --trace prints each executed statement on one line"),
            runCalc};
}
