#include "session/Selection.h"

#include "store/Sql.h"

namespace {

QString yearCondition(const QString& year)
{
    return QStringLiteral("nd like ") + Sql::quote(u'%' + year + u'%');
}

} // namespace

Selection Selection::year(const QString& year)
{
    return {yearCondition(year), QString(), year + QStringLiteral("工作量")};
}

Selection Selection::faculty(const QString& year, const QString& faculty)
{
    return {yearCondition(year) + QStringLiteral(" and yuanbu=") + Sql::quote(faculty),
            QStringLiteral(" bmdm.ybmc=") + Sql::quote(faculty), year + faculty + QStringLiteral("工作量")};
}

Selection Selection::section(const QString& year, const QString& section)
{
    return {yearCondition(year) + QStringLiteral(" and jiaoyanshi=") + Sql::quote(section),
            QStringLiteral(" bmdm.bmmc=") + Sql::quote(section), year + section + QStringLiteral("工作量")};
}

Selection Selection::teacher(const QString& year, const QString& teacher, const QString& section)
{
    return {yearCondition(year) + QStringLiteral(" and jiaoshi=") + Sql::quote(teacher) +
                QStringLiteral(" and jiaoyanshi=") + Sql::quote(section),
            QStringLiteral(" bmdm.bmmc=") + Sql::quote(section) + QStringLiteral(" and rymc=") + Sql::quote(teacher),
            year + section + teacher + QStringLiteral("工作量")};
}

Selection Selection::followedBy(const Selection& next) const
{
    Selection s = next;
    if (s.NodeFilter.isEmpty())
        s.NodeFilter = NodeFilter;
    return s;
}
