#include "cli/Cli.h"
#include "cli/NodeArguments.h"
#include "exchange/ExchangeTable.h"
#include "exchange/WorkloadExport.h"
#include "exchange/WorkloadImport.h"
#include "store/DataModule.h"

#include <QFileInfo>

namespace {

// The file is BASE plus the format's ending, so BASE must end in a name of its own: "DIR/" or a
// directory would give a hidden ".dbf" inside it, or a file beside it named after it.
void checkBase(const QString& base)
{
    const QString name = base.mid(base.lastIndexOf(u'/') + 1);
    if (name.isEmpty() || name == u"." || name == u".." || QFileInfo(base).isDir())
        throw Cli::UsageError{
            QStringLiteral("--to %1 names a directory: give the file's name without its ending, as in DIR/NAME")
                .arg(base)};
}

int runExport(Cli::Context& c)
{
    const NodeArguments node = NodeArguments::from(c.args);
    const QString format = c.args.value(u"--format").value_or(QString());
    const QString base = c.args.value(u"--to").value_or(QString());
    checkBase(base);
    if (format != u"dbt" && format != u"dbf")
        throw Cli::UsageError{QStringLiteral("--format must be dbt or dbf")};
    const Selection selection = node.selection();

    DataModule data;
    data.connectTo(c.store);
    if (const std::optional<QString> problem = node.problemIn(data)) {
        c.err << "workloadctl export: " << *problem << "\n";
        return 1;
    }
    WorkloadExport exporter(data);
    const auto f = format == u"dbt" ? WorkloadExport::Format::Paradox : WorkloadExport::Format::Dbase;
    const int n = exporter.selectRows(selection);
    if (n == 0) {
        c.err << WorkloadExport::NoRows << "\n";
        return 1;
    }
    try {
        exporter.fillWorkTable(f);
        const QString path = exporter.writeFile(f, base);
        c.out << n << " rows written to " << path << "\n";
    } catch (const ExchangeFileError& e) {
        // A value the file cannot carry is named by itself; any other failure is the file's.
        if (!e.isValueRefused())
            c.err << WorkloadExport::CopyFailed << "\n";
        c.err << e.text() << "\n";
        return 1;
    }
    return 0;
}

int runImport(Cli::Context& c)
{
    DataModule data;
    data.connectTo(c.store);
    WorkloadImport importer(data);
    importer.makeCounters();
    WorkloadImport::Outcome outcome = importer.copyToWorkCopy(c.args.argument(0));
    if (outcome == WorkloadImport::Outcome::Ready)
        outcome = importer.openWorkCopy();
    if (outcome != WorkloadImport::Outcome::Ready) {
        c.err << WorkloadImport::message(outcome) << "\n";
        return 1;
    }
    try {
        const WorkloadImport::Counts n = importer.run();
        c.out << n.rows << " rows imported; created " << n.faculties << " faculties, " << n.sections << " sections, "
              << n.teachers << " teachers\n";
    } catch (const StoreError& e) {
        c.err << e.text() << "\n" << WorkloadImport::RolledBack << "\n";
        return 1;
    }
    return 0;
}

} // namespace

Cli::Command exportCommand()
{
    using Option = CommandSyntax::Option;
    return {.name = QStringLiteral("export"),
            .usage = QStringLiteral("export --year Y [--faculty F | --section S | --teacher T --section S] --format "
                                    "dbt|dbf --to BASE"),
            .summary = QStringLiteral("writes the workload rows of a year or a tree node to BASE.dbt (Paradox) or "
                                      "BASE.dbf (dBASE) and prints the row count; Y must be one of the store's years "
                                      "and the node must exist"),
            .syntax = {.options = NodeArguments::options()
                                  << Option::text("--format", "dbt|dbf") << Option::requiredText("--to", "BASE")},
            .run = runExport};
}

Cli::Command importCommand()
{
    return {.name = QStringLiteral("import"),
            .usage = QStringLiteral("import FILE"),
            .summary =
                QStringLiteral("merges the rows of an exchange file (.dbt or .dbf) into the store and prints the "
                               "rows imported and the faculties, sections and teachers created"),
            .syntax = CommandSyntax::takingOneArgument("the exchange file"),
            .run = runImport};
}
