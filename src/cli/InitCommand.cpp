#include "calc/WorkloadCalculator.h"
#include "cli/Cli.h"
#include "masterdata/SettingsRecord.h"
#include "session/DataDirectoryLock.h"
#include "store/DataModule.h"
#include "store/Database.h"
#include "store/DemoData.h"
#include "store/StoreSetup.h"
#include "store/Transaction.h"

namespace {

// --synthetic F,S,T,R,Y: five positive whole numbers.
QList<int> syntheticSizes(const QString& value)
{
    QList<int> sizes;
    for (const QString& part : value.split(u',')) {
        bool ok = false;
        const int n = part.toInt(&ok);
        if (!ok || n < 1)
            throw Cli::UsageError{QStringLiteral("--synthetic wants five positive whole numbers")};
        sizes << n;
    }
    if (sizes.size() != 5)
        throw Cli::UsageError{QStringLiteral("--synthetic wants FACULTIES,SECTIONS,TEACHERS,ROWS,YEARS")};
    return sizes;
}

DemoData::Options demoOptions(bool demo, const QList<int>& synthetic)
{
    return demo ? DemoData::demo()
                : DemoData::synthetic(synthetic[0], synthetic[1], synthetic[2], synthetic[3], synthetic[4]);
}

void report(Cli::Context& c, const QString& store, int rows, const QString& calculated)
{
    c.out << "created " << store;
    if (rows)
        c.out << " with " << rows << " workload rows";
    c.out << "\n";
    if (!calculated.isEmpty())
        c.out << "calculated the totals of " << calculated << "\n";
}

// The tables are made, the defaults written and the demo added in one transaction each; a
// database that holds anything but this program's store is refused before anything is written.
int initServer(Cli::Context& c, bool demo, bool force, const QList<int>& synthetic)
{
    DataModule data;
    data.attach(Database::create(c.store, force));
    Database& db = *data.database();
    int rows = 0;
    {
        Transaction tx(db);
        StoreSetup::addDefaults(db);
        if (demo || !synthetic.isEmpty())
            rows = DemoData::generate(db, demoOptions(demo, synthetic));
        tx.commit();
    }
    QString calculated;
    if (demo) {
        calculated = SettingsRecord(*data.Tbsystem).year();
        WorkloadCalculator(data).calculateYear(calculated);
    }
    report(c, db.location(), rows, calculated);
    return 0;
}

int runInit(Cli::Context& c)
{
    const bool demo = c.args.has(u"--demo");
    const bool force = c.args.has(u"--force");
    const std::optional<QString> sizes = c.args.value(u"--synthetic");
    const QList<int> synthetic = sizes ? syntheticSizes(*sizes) : QList<int>();
    if (c.store.isServer())
        return initServer(c, demo, force, synthetic);
    if (Database::exists(c.dataDir) && !force) {
        c.err << "a store already exists: " << Database::storePath(c.dataDir) << " (use --force to replace it)\n";
        return 1;
    }
    // A store is not replaced under a running program.
    DataDirectoryLock lock(c.dataDir);
    if (Database::exists(c.dataDir) && !Cli::holdDataDirectory(c, lock, QStringLiteral("重建")))
        return 1;
    int rows = 0;
    QString calculated;
    StoreSetup::createStore(c.dataDir, force, [&](const QString& building) {
        if (!demo && synthetic.isEmpty())
            return;
        {
            auto db = Database::open(building);
            Transaction tx(*db);
            rows = DemoData::generate(*db, demoOptions(demo, synthetic));
            tx.commit();
        }
        if (demo) {
            // The demo opens with its totals computed: every faculty of the settings record's year.
            DataModule data;
            data.connectTo(building);
            calculated = SettingsRecord(*data.Tbsystem).year();
            WorkloadCalculator(data).calculateYear(calculated);
        }
    });
    report(c, Database::storePath(c.dataDir), rows, calculated);
    return 0;
}

} // namespace

Cli::Command initCommand()
{
    using Option = CommandSyntax::Option;
    using Group = CommandSyntax::Group;
    return {.name = QStringLiteral("init"),
            .usage = QStringLiteral("init [--demo | --synthetic F,S,T,R,Y] [--force]"),
            .summary = QStringLiteral("creates a store with the default operators, years and parameters; --demo adds a "
                                      "sample university, --synthetic a generated one (faculties, sections per "
                                      "faculty, teachers per section, rows per teacher and year, years); --force "
                                      "replaces an existing store"),
            .syntax = {.options = {Option::flag("--demo"), Option::text("--synthetic", "F,S,T,R,Y"),
                                   Option::flag("--force")},
                       .groups = {Group::of(Group::Rule::AtMostOne, {"--demo", "--synthetic"})}},
            .run = runInit};
}
