#include "calc/WorkloadCalculator.h"
#include "cli/Cli.h"
#include "cli/CommandOptions.h"
#include "cli/NodeArguments.h"
#include "store/DataModule.h"

namespace {

int runCalc(Cli::Context& c)
{
    QStringList args = c.args;
    const NodeArguments node = NodeArguments::take(args);
    bool all = false;
    bool trace = false;
    CommandOptions given;
    for (const QString& a : args) {
        if (a != u"--all" && a != u"--trace")
            throw Cli::UsageError{QStringLiteral("unknown argument %1").arg(a)};
        given.note(a);
        (a == u"--all" ? all : trace) = true;
    }
    if (all == node.namesNode())
        throw Cli::UsageError{
            QStringLiteral("give exactly one of --faculty, --section, --teacher with --section, --all")};
    const Selection selection = node.selection();

    DataModule data;
    data.connectTo(c.dataDir);
    if (trace) {
        data.database()->setTracer(
            [&c](const QString& statement) { c.out << QString(statement).replace(u'\n', u' ') << "\n"; });
    }
    WorkloadCalculator calculator(data);
    int nodes = 1;
    // The node is checked under the write lock that the calculation takes, so that it cannot be
    // renamed or deleted between the check and the run.
    QString problem;
    const WorkloadCalculator::Precondition nodeExists = [&] {
        problem = node.problemIn(*data.database());
        return problem.isEmpty();
    };
    const CalculationSummary total =
        all ? calculator.calculateYear(node.year, &nodes, nodeExists) : calculator.calculate(selection, nodeExists);
    if (!problem.isEmpty()) {
        c.err << "workloadctl calc: " << problem << "\n";
        return 1;
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
                           "turn, all of them or none; Y must be one of the store's years and the node must exist; "
                           "--trace prints each executed statement on one line"),
            runCalc};
}
