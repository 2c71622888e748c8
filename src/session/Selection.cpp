#include "session/Selection.h"

#include "store/Sql.h"

namespace {

Selection at(const QString& year, Selection::Node node)
{
    Selection s;
    s.academicYear = year;
    s.node = node;
    if (node.level != Selection::Level::Year)
        s.teachersOf = node;
    return s;
}

} // namespace

Selection Selection::year(const QString& year)
{
    return at(year, {Level::Year, {}, {}, {}});
}

Selection Selection::faculty(const QString& year, const QString& faculty)
{
    return at(year, {Level::Faculty, faculty, {}, {}});
}

Selection Selection::section(const QString& year, const QString& section)
{
    return at(year, {Level::Section, {}, section, {}});
}

Selection Selection::teacher(const QString& year, const QString& teacher, const QString& section)
{
    return at(year, {Level::Teacher, {}, section, teacher});
}

Selection Selection::followedBy(const Selection& next) const
{
    Selection s = next;
    if (s.teachersOf.level == Level::None)
        s.teachersOf = teachersOf;
    return s;
}

QString Selection::YearFilter() const
{
    const QString yearCondition = QStringLiteral("nd like ") + Sql::quote(u'%' + academicYear + u'%');
    switch (node.level) {
    case Level::Faculty:
        return yearCondition + QStringLiteral(" and yuanbu=") + Sql::quote(node.faculty);
    case Level::Section:
        return yearCondition + QStringLiteral(" and jiaoyanshi=") + Sql::quote(node.section);
    case Level::Teacher:
        return yearCondition + QStringLiteral(" and jiaoshi=") + Sql::quote(node.teacher) +
               QStringLiteral(" and jiaoyanshi=") + Sql::quote(node.section);
    case Level::Year:
    case Level::None:
        break;
    }
    return yearCondition;
}

QString Selection::NodeFilter() const
{
    switch (teachersOf.level) {
    case Level::Faculty:
        return QStringLiteral(" bmdm.ybmc=") + Sql::quote(teachersOf.faculty);
    case Level::Section:
        return QStringLiteral(" bmdm.bmmc=") + Sql::quote(teachersOf.section);
    case Level::Teacher:
        return QStringLiteral(" bmdm.bmmc=") + Sql::quote(teachersOf.section) + QStringLiteral(" and rymc=") +
               Sql::quote(teachersOf.teacher);
    case Level::Year:
    case Level::None:
        break;
    }
    return {};
}

QString Selection::YearTitle() const
{
    switch (node.level) {
    case Level::Faculty:
        return academicYear + node.faculty + QStringLiteral("工作量");
    case Level::Section:
        return academicYear + node.section + QStringLiteral("工作量");
    case Level::Teacher:
        return academicYear + node.section + node.teacher + QStringLiteral("工作量");
    case Level::Year:
    case Level::None:
        break;
    }
    return academicYear + QStringLiteral("工作量");
}
