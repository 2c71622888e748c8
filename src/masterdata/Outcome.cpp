#include "masterdata/Outcome.h"

#include "store/Gbk.h"

int Outcome::rows(const QString& table) const
{
    int n = 0;
    for (const Change& c : changes)
        if (c.table == table)
            n += c.rows;
    return n;
}

Outcome Outcome::refused(Status status, const QString& message)
{
    Outcome o;
    o.status = status;
    o.message = message;
    return o;
}

Outcome Outcome::failed(const QString& message, const QString& storeText)
{
    // A text without a GBK form is refused by name: that is all the operator needs to hear, not
    // the general words about duplicate codes and overlong texts.
    if (Gbk::isUnrepresentableMessage(storeText))
        return refused(Status::Failed, storeText);
    Outcome o = refused(Status::Failed, message);
    o.storeText = storeText;
    return o;
}
