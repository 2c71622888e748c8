#include "cli/Cli.h"

#include "store/StoreError.h"

#include <QDir>

Cli::Cli()
{
    m_commands << initCommand() << sqlCommand();
    m_commands << exportCommand() << importCommand();
    m_commands << calcCommand();
    m_commands << facultyCommand() << sectionCommand() << teacherCommand();
}

void Cli::printHelp(QTextStream& out) const
{
    out << "usage: workloadctl [--dir DIR] COMMAND [ARGS]\n\n"
        << "DIR is the data directory holding workload.sqlite3 (default: the current directory).\n\n"
        << "commands:\n";
    for (const Command& c : m_commands)
        out << "  " << c.usage << "\n      " << c.summary << "\n";
}

int Cli::run(const QStringList& arguments, QTextStream& out, QTextStream& err) const
{
    QString dataDir = QDir::currentPath();
    QStringList args = arguments;
    while (!args.isEmpty() && args.first().startsWith(u"--")) {
        const QString option = args.takeFirst();
        if (option == u"--help") {
            printHelp(out);
            return 0;
        }
        if (option == u"--dir" && !args.isEmpty()) {
            dataDir = args.takeFirst();
        } else if (option.startsWith(u"--dir=")) {
            dataDir = option.mid(6);
        } else {
            err << "workloadctl: unknown option " << option << "\n";
            printHelp(err);
            return 2;
        }
    }
    if (args.isEmpty()) {
        printHelp(err);
        return 2;
    }
    const QString name = args.takeFirst();
    for (const Command& c : m_commands) {
        if (c.name != name)
            continue;
        if (args.contains(u"--help")) {
            out << "usage: workloadctl [--dir DIR] " << c.usage << "\n" << c.summary << "\n";
            return 0;
        }
        Context context{dataDir, args, out, err};
        try {
            return c.run(context);
        } catch (const UsageError& e) {
            err << "workloadctl " << name << ": " << e.message << "\nusage: workloadctl [--dir DIR] " << c.usage
                << "\n";
            return 2;
        } catch (const StoreError& e) {
            err << e.text() << "\n";
            if (!e.statement().isEmpty())
                err << e.statement() << "\n";
            return 1;
        }
    }
    err << "workloadctl: unknown command " << name << "\n";
    printHelp(err);
    return 2;
}
