#include "cli/CommandOptions.h"

#include "cli/Cli.h"

void CommandOptions::note(const QString& option)
{
    if (m_given.contains(option))
        throw Cli::UsageError{QStringLiteral("%1 given twice").arg(option)};
    m_given << option;
}

QString CommandOptions::takeValue(const QStringList& args, qsizetype& i)
{
    const QString& option = args[i];
    note(option);
    if (i + 1 >= args.size())
        throw Cli::UsageError{QStringLiteral("%1 needs a value").arg(option)};
    return args[++i];
}
