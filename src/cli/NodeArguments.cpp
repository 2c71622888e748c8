#include "cli/NodeArguments.h"

#include "cli/Cli.h"
#include "masterdata/Faculties.h"
#include "masterdata/Sections.h"
#include "masterdata/Teachers.h"
#include "session/YearList.h"

namespace {

QString quoted(const QString& name)
{
    return u'"' + name + u'"';
}

std::optional<QString> yearProblem(DataModule& data, const QString& year, NodeArguments::YearUse use)
{
    // Compared exactly first: any text that is not a year of the store is refused as such, however
    // long, before it becomes a pattern.
    if (!YearList::contains(data, year)) {
        const QStringList years = YearList::storeYears(data);
        return QStringLiteral("year %1 is not one of the store's years (%2)")
            .arg(quoted(year), years.isEmpty() ? QStringLiteral("none") : years.join(QStringLiteral(", ")));
    }
    if (use == NodeArguments::YearUse::Title)
        return std::nullopt;
    // What the year filter "nd like '%Y%'" reaches among the store's years: also every year of
    // which Y is a part, and % and _ in Y are wildcards.
    QStringList others = YearList::reachedBy(data, Selection::year(year));
    others.removeAll(year);
    if (!others.isEmpty())
        return QStringLiteral("year %1 would also select the rows of %2").arg(quoted(year), others.join(u", "));
    return std::nullopt;
}

} // namespace

QList<CommandSyntax::Option> NodeArguments::options()
{
    using Option = CommandSyntax::Option;
    return {Option::requiredText("--year", "Y"), Option::text("--faculty", "F"), Option::text("--section", "S"),
            Option::text("--teacher", "T")};
}

NodeArguments NodeArguments::from(const CommandArguments& given)
{
    return {given.value(u"--year").value_or(QString()), given.value(u"--faculty"), given.value(u"--section"),
            given.value(u"--teacher")};
}

Selection NodeArguments::selection() const
{
    if (teacher) {
        if (!section || faculty)
            throw Cli::UsageError{QStringLiteral("--teacher needs --section (and no --faculty)")};
        return Selection::teacher(year, *teacher, *section);
    }
    if (faculty && section)
        throw Cli::UsageError{QStringLiteral("give --faculty or --section, not both")};
    if (faculty)
        return Selection::faculty(year, *faculty);
    if (section)
        return Selection::section(year, *section);
    return Selection::year(year);
}

std::optional<QString> NodeArguments::problemIn(DataModule& data, YearUse use) const
{
    if (std::optional<QString> problem = yearProblem(data, year, use))
        return problem;
    if (faculty && !Faculties(data).exists(*faculty))
        return QStringLiteral("no faculty named %1").arg(quoted(*faculty));
    if (section && !Sections(data).existsNamed(*section))
        return QStringLiteral("no section named %1").arg(quoted(*section));
    if (teacher && !Teachers(data).existsInSection(*teacher, section.value_or(QString())))
        return QStringLiteral("no teacher named %1 in section %2")
            .arg(quoted(*teacher), quoted(section.value_or(QString())));
    return std::nullopt;
}
