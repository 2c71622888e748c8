#include "stats/StatsGrouping.h"

#include "masterdata/Teachers.h"

#include <QStringList>

namespace StatsGroupings {

const std::vector<StatsGrouping>& all()
{
    static const std::vector<StatsGrouping> groupings{StatsGrouping::Faculty, StatsGrouping::Section,
                                                      StatsGrouping::Title, StatsGrouping::Nature, StatsGrouping::Post};
    return groupings;
}

QString word(StatsGrouping grouping)
{
    switch (grouping) {
    case StatsGrouping::Faculty:
        return QStringLiteral("faculty");
    case StatsGrouping::Section:
        return QStringLiteral("section");
    case StatsGrouping::Title:
        return QStringLiteral("title");
    case StatsGrouping::Nature:
        return QStringLiteral("nature");
    case StatsGrouping::Post:
        break;
    }
    return QStringLiteral("post");
}

std::optional<StatsGrouping> fromWord(const QString& text)
{
    for (StatsGrouping g : all())
        if (word(g) == text)
            return g;
    return std::nullopt;
}

QString caption(StatsGrouping grouping)
{
    switch (grouping) {
    case StatsGrouping::Faculty:
        return QStringLiteral("院部");
    case StatsGrouping::Section:
        return QStringLiteral("教研室");
    case StatsGrouping::Title:
        return QStringLiteral("职称");
    case StatsGrouping::Nature:
        return QStringLiteral("性质");
    case StatsGrouping::Post:
        break;
    }
    return QStringLiteral("岗位");
}

const QStringList& knownValues(StatsGrouping grouping)
{
    static const QStringList none;
    switch (grouping) {
    case StatsGrouping::Title:
        return Teachers::titles();
    case StatsGrouping::Nature:
        return Teachers::natures();
    case StatsGrouping::Post:
        return Teachers::posts();
    case StatsGrouping::Faculty:
    case StatsGrouping::Section:
        break;
    }
    return none;
}

} // namespace StatsGroupings
