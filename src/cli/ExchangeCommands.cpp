#include "cli/Cli.h"
#include "cli/CommandOptions.h"
#include "cli/NodeArguments.h"
#include "exchange/ExchangeTable.h"
#include "exchange/WorkloadExport.h"
#include "exchange/WorkloadImport.h"
#include "store/DataModule.h"

#include <QFileInfo>
#include <QHash>

namespace {

// Options of the form "--name value"; anything else is a usage error.
QHash<QString, QString> options(const QStringList& args, const QStringList& known)
{
    QHash<QString, QString> out;
    CommandOptions given;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (!known.contains(a))
            throw Cli::UsageError{QStringLiteral("unexpected argument %1").arg(a)};
        out.insert(a.mid(2), given.takeValue(args, i));
    }
    return out;
}

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
    QStringList args = c.args;
    const NodeArguments node = NodeArguments::take(args);
    const QHash<QString, QString> o = options(args, {QStringLiteral("--format"), QStringLiteral("--to")});
    const QString format = o.value(QStringLiteral("format"));
    const QString base = o.value(QStringLiteral("to"));
    if (base.isEmpty())
        throw Cli::UsageError{QStringLiteral("--to is required")};
    checkBase(base);
    if (format != u"dbt" && format != u"dbf")
        throw Cli::UsageError{QStringLiteral("--format must be dbt or dbf")};
    const Selection selection = node.selection();

    DataModule data;
    data.connectTo(c.dataDir);
    if (const QString problem = node.problemIn(*data.database()); !problem.isEmpty()) {
        c.err << "workloadctl export: " << problem << "\n";
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
    if (c.args.size() != 1)
        throw Cli::UsageError{QStringLiteral("give the exchange file as one argument")};
    DataModule data;
    data.connectTo(c.dataDir);
    WorkloadImport importer(data);
    importer.makeCounters();
    WorkloadImport::Outcome outcome = importer.copyToWorkCopy(c.args.first());
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
    return {QStringLiteral("export"),
            QStringLiteral("export --year Y [--faculty F | --section S | --teacher T --section S] --format dbt|dbf "
                           "--to BASE"),
            QStringLiteral("writes the workload rows of a year or a tree node to BASE.dbt (Paradox) or BASE.dbf "
                           "(dBASE) and prints the row count; Y must be one of the store's years and the node must "
                           "exist"),
            runExport};
}

Cli::Command importCommand()
{
    return {QStringLiteral("import"), QStringLiteral("import FILE"),
            QStringLiteral("merges the rows of an exchange file (.dbt or .dbf) into the store and prints the rows "
                           "imported and the faculties, sections and teachers created"),
            runImport};
}
