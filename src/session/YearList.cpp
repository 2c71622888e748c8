#include "session/YearList.h"

#include "store/DataModule.h"

namespace YearList {

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

} // namespace YearList
