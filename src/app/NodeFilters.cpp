#include "NodeFilters.h"

#include "LoginState.h"
#include "Sql.h"

namespace {

QString yearCondition(const QString& year)
{
    return QStringLiteral("nd like ") + Sql::quote(u'%' + year + u'%');
}

} // namespace

NodeFilters NodeFilters::year(const QString& year)
{
    return {yearCondition(year), QString(), year + QStringLiteral("工作量")};
}

NodeFilters NodeFilters::faculty(const QString& year, const QString& faculty)
{
    return {yearCondition(year) + QStringLiteral(" and yuanbu=") + Sql::quote(faculty),
            QStringLiteral(" bmdm.ybmc=") + Sql::quote(faculty), year + faculty + QStringLiteral("工作量")};
}

NodeFilters NodeFilters::section(const QString& year, const QString& section)
{
    return {yearCondition(year) + QStringLiteral(" and jiaoyanshi=") + Sql::quote(section),
            QStringLiteral(" bmdm.bmmc=") + Sql::quote(section), year + section + QStringLiteral("工作量")};
}

NodeFilters NodeFilters::teacher(const QString& year, const QString& teacher, const QString& section)
{
    return {yearCondition(year) + QStringLiteral(" and jiaoshi=") + Sql::quote(teacher) +
                QStringLiteral(" and jiaoyanshi=") + Sql::quote(section),
            QStringLiteral(" bmdm.bmmc=") + Sql::quote(section) + QStringLiteral(" and rymc=") + Sql::quote(teacher),
            year + section + teacher + QStringLiteral("工作量")};
}

void NodeFilters::applyToLoginState() const
{
    LoginState& s = loginState();
    s.YearFilter = yearFilter;
    if (!nodeFilter.isEmpty())
        s.NodeFilter = nodeFilter;
    s.YearTitle = yearTitle;
}
