#include "cli/NodeArguments.h"

#include "cli/Cli.h"

NodeArguments NodeArguments::take(QStringList& args)
{
    NodeArguments n;
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        QString* value = a == u"--year"      ? &n.year
                         : a == u"--faculty" ? &n.faculty
                         : a == u"--section" ? &n.section
                         : a == u"--teacher" ? &n.teacher
                                             : nullptr;
        if (!value) {
            rest << a;
            continue;
        }
        if (i + 1 >= args.size())
            throw Cli::UsageError{QStringLiteral("%1 needs a value").arg(a)};
        *value = args[++i];
        n.hasFaculty |= a == u"--faculty";
        n.hasSection |= a == u"--section";
        n.hasTeacher |= a == u"--teacher";
    }
    args = rest;
    if (n.year.isEmpty())
        throw Cli::UsageError{QStringLiteral("--year is required")};
    return n;
}

Selection NodeArguments::selection() const
{
    if (hasTeacher) {
        if (!hasSection || hasFaculty)
            throw Cli::UsageError{QStringLiteral("--teacher needs --section (and no --faculty)")};
        return Selection::teacher(year, teacher, section);
    }
    if (hasFaculty && hasSection)
        throw Cli::UsageError{QStringLiteral("give --faculty or --section, not both")};
    if (hasFaculty)
        return Selection::faculty(year, faculty);
    if (hasSection)
        return Selection::section(year, section);
    return Selection::year(year);
}
