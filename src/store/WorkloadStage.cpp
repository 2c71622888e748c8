#include "store/WorkloadStage.h"

#include "store/WorkloadCategories.h"

#include <QStringList>

WorkloadStage::WriteBackLists WorkloadStage::writeBackLists(const QString& differs)
{
    QStringList columns;
    QStringList staged;
    QStringList changed;
    for (const char* column : WorkloadCategories::computedColumns()) {
        const QLatin1String c(column);
        columns << c;
        staged << QStringLiteral("s.%1").arg(c);
        changed << differs.arg(QStringLiteral("m.%1").arg(c), QStringLiteral("s.%1").arg(c));
    }
    return {columns.join(u','), staged.join(u','), changed.join(QStringLiteral(" OR "))};
}
