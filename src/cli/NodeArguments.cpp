#include "cli/NodeArguments.h"

#include "cli/Cli.h"
#include "cli/CommandOptions.h"
#include "store/Database.h"
#include "store/PreparedStatement.h"

namespace {

// The first column of every row of one of our own statements, with `values` bound in order.
QStringList column(Database& db, const char* statement, const QStringList& values = {})
{
    const std::unique_ptr<PreparedStatement> s = db.prepare(QString::fromLatin1(statement));
    for (int i = 0; i < values.size(); ++i)
        s->bind(i, values[i]);
    QStringList out;
    while (s->step())
        out << s->textAt(0);
    return out;
}

bool exists(Database& db, const char* statement, const QStringList& values)
{
    return !column(db, statement, values).isEmpty();
}

QString quoted(const QString& name)
{
    return u'"' + name + u'"';
}

QString yearProblem(Database& db, const QString& year, NodeArguments::YearUse use)
{
    // Compared exactly first: any text that is not a year of the store is refused as such, however
    // long, before it becomes a pattern.
    if (!exists(db, "select 1 from niandu where nd=?1 union all select 1 from gzl where nd=?1 limit 1", {year})) {
        const QStringList years = column(db, "select nd from niandu where nd<>'' union "
                                             "select nd from gzl where nd<>'' order by 1");
        return QStringLiteral("year %1 is not one of the store's years (%2)")
            .arg(quoted(year), years.isEmpty() ? QStringLiteral("none") : years.join(QStringLiteral(", ")));
    }
    if (use == NodeArguments::YearUse::Title)
        return {};
    // What the year filter "nd like '%Y%'" reaches among the store's years: also every year of
    // which Y is a part, and % and _ in Y are wildcards.
    // The store's years first (the year index lists them without reading the rows), then the filter.
    QStringList others =
        column(db, "select nd from (select nd from niandu union select nd from gzl) where nd like ?1 order by 1",
               {u'%' + year + u'%'});
    others.removeAll(year);
    if (!others.isEmpty())
        return QStringLiteral("year %1 would also select the rows of %2").arg(quoted(year), others.join(u", "));
    return {};
}

} // namespace

NodeArguments NodeArguments::take(QStringList& args)
{
    NodeArguments n;
    CommandOptions given;
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
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
        n.hasFaculty |= a == u"--faculty";
        n.hasSection |= a == u"--section";
        n.hasTeacher |= a == u"--teacher";
        *value = given.takeValue(args, i);
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

QString NodeArguments::problemIn(Database& db, YearUse use) const
{
    if (const QString problem = yearProblem(db, year, use); !problem.isEmpty())
        return problem;
    if (hasFaculty && !exists(db, "select 1 from yuanbu where mc=? limit 1", {faculty}))
        return QStringLiteral("no faculty named %1").arg(quoted(faculty));
    if (hasSection && !exists(db, "select 1 from bmdm where bmmc=? limit 1", {section}))
        return QStringLiteral("no section named %1").arg(quoted(section));
    if (hasTeacher && !exists(db,
                              "select 1 from rydm join bmdm on rydm.bmdm=bmdm.bmdm "
                              "where rydm.rymc=? and bmdm.bmmc=? limit 1",
                              {teacher, section}))
        return QStringLiteral("no teacher named %1 in section %2").arg(quoted(teacher), quoted(section));
    return {};
}
