#include "session/YearList.h"

#include "session/Selection.h"
#include "store/DataModule.h"
#include "store/Database.h"
#include "store/Sql.h"

namespace YearList {

namespace {

QStringList firstColumn(DataModule& data, const QString& statement)
{
    QStringList out;
    for (const QVariantList& row : data.database()->select(statement).rows)
        out << row.value(0).toString();
    return out;
}

} // namespace

QStringList read(DataModule& data)
{
    Query* q = data.xssj2;
    q->setStatement({QStringLiteral("select * from niandu")});
    q->open();
    QStringList years;
    for (; !q->eof(); q->next())
        years << q->fieldByName(QStringLiteral("nd")).asString();
    return years;
}

bool contains(DataModule& data, const QString& year)
{
    const QString nd = Sql::quote(year);
    return data.database()->hasRows(
        QStringLiteral("select 1 from niandu where nd=%1 union all select 1 from gzl where nd=%1 limit 1").arg(nd));
}

QStringList storeYears(DataModule& data)
{
    return firstColumn(
        data, QStringLiteral("select nd from niandu where nd<>'' union select nd from gzl where nd<>'' order by 1"));
}

QStringList reachedBy(DataModule& data, const Selection& selection)
{
    // The store's years first (the year index lists them without reading the rows), then the filter.
    return firstColumn(data, QStringLiteral("select nd from (select nd from niandu union select nd from gzl) where %1 "
                                            "order by 1")
                                 .arg(selection.YearFilter()));
}

} // namespace YearList
