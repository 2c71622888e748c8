#include "calc/WorkloadCalculator.h"
#include "cli/Cli.h"
#include "cli/CommandOptions.h"
#include "session/DataDirectoryLock.h"
#include "store/DataModule.h"
#include "store/Database.h"
#include "store/DemoData.h"
#include "store/StoreSetup.h"
#include "store/Transaction.h"

namespace {

int runInit(Cli::Context& c)
{
    bool demo = false;
    bool force = false;
    QList<int> synthetic;
    CommandOptions given;
    for (qsizetype i = 0; i < c.args.size(); ++i) {
        const QString& a = c.args[i];
        if (a == u"--demo") {
            given.note(a);
            demo = true;
        } else if (a == u"--force") {
            given.note(a);
            force = true;
        } else if (a == u"--synthetic") {
            for (const QString& part : given.takeValue(c.args, i).split(u',')) {
                bool ok = false;
                const int n = part.toInt(&ok);
                if (!ok || n < 1)
                    throw Cli::UsageError{QStringLiteral("--synthetic wants five positive whole numbers")};
                synthetic << n;
            }
            if (synthetic.size() != 5)
                throw Cli::UsageError{QStringLiteral("--synthetic wants FACULTIES,SECTIONS,TEACHERS,ROWS,YEARS")};
        } else {
            throw Cli::UsageError{QStringLiteral("unknown argument %1").arg(a)};
        }
    }
    if (demo && !synthetic.isEmpty())
        throw Cli::UsageError{QStringLiteral("--demo and --synthetic exclude each other")};
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
            const DemoData::Options options =
                demo ? DemoData::demo()
                     : DemoData::synthetic(synthetic[0], synthetic[1], synthetic[2], synthetic[3], synthetic[4]);
            rows = DemoData::generate(*db, options);
            tx.commit();
        }
        if (demo) {
            // The demo opens with its totals computed: every faculty of the settings record's year.
            DataModule data;
            data.connectTo(building);
            const Database::Result year = data.database()->select(QStringLiteral("select Nd from system"));
            calculated = year.rows.empty() ? QString() : year.rows.front().value(0).toString();
            WorkloadCalculator(data).calculateYear(calculated);
        }
    });
    c.out << "created " << Database::storePath(c.dataDir);
    if (rows)
        c.out << " with " << rows << " workload rows";
    c.out << "\n";
    if (!calculated.isEmpty())
        c.out << "calculated the totals of " << calculated << "\n";
    return 0;
}

} // namespace

Cli::Command initCommand()
{
    return {QStringLiteral("init"), QStringLiteral("init [--demo | --synthetic F,S,T,R,Y] [--force]"),
            QStringLiteral("creates a store with the default operators, years and parameters; --demo adds a sample "
                           "university, --synthetic a generated one (faculties, sections per faculty, teachers per "
                           "section, rows per teacher and year, years); --force replaces an existing store"),
            runInit};
}
