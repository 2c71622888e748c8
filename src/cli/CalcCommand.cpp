#include "calc/WorkloadCalculator.h"
#include "cli/Cli.h"
#include "cli/NodeArguments.h"
#include "store/DataModule.h"

#include <QScopeGuard>

namespace {

int runCalc(Cli::Context& c)
{
    const NodeArguments node = NodeArguments::from(c.args);
    const bool all = c.args.has(u"--all");
    if (all == node.namesNode())
        throw Cli::UsageError{
            QStringLiteral("give exactly one of --faculty, --section, --teacher with --section, --all")};
    const Selection selection = node.selection();

    DataModule data;
    data.connectTo(c.store);
    Database::Tracer tracer;
    if (c.args.has(u"--trace")) {
        tracer = [&c](const QString& statement) { c.out << QString(statement).replace(u'\n', u' ') << "\n"; };
        data.database()->setTracer(tracer);
    }
    WorkloadCalculator calculator(data);
    int nodes = 1;
    // The node is checked under the write lock that the calculation takes, so that it cannot be
    // renamed or deleted between the check and the run. The check is the command's own, not one
    // of the calculation's statements: the trace leaves it out.
    std::optional<QString> problem;
    const WorkloadCalculator::Precondition nodeExists = [&] {
        data.database()->setTracer({});
        const auto traceAgain = qScopeGuard([&] { data.database()->setTracer(tracer); });
        problem = node.problemIn(data);
        return !problem;
    };
    const CalculationSummary total =
        all ? calculator.calculateYear(node.year, &nodes, nodeExists) : calculator.calculate(selection, nodeExists);
    if (problem) {
        c.err << "workloadctl calc: " << *problem << "\n";
        return 1;
    }
    c.out << "calculated " << nodes << (nodes == 1 ? " node" : " nodes") << ": " << total.teachersUpdated
          << " teachers updated, " << total.rowsTouched << " workload row updates\n";
    return 0;
}

} // namespace

Cli::Command calcCommand()
{
    using Option = CommandSyntax::Option;
    return {.name = QStringLiteral("calc"),
            .usage =
                QStringLiteral("calc --year Y (--faculty F | --section S | --teacher T --section S | --all) [--trace]"),
            .summary =
                QStringLiteral("computes the workload of a tree node's rows and its teachers' totals from the "
                               "parameter rows, exactly as the main window's \"计算\" does; --all does every faculty "
                               "of the year in turn, all of them or none; Y must be one of the store's years and the "
                               "node must exist; --trace prints each executed statement on one line"),
            .syntax = {.options = NodeArguments::options() << Option::flag("--all") << Option::flag("--trace")},
            .run = runCalc};
}
