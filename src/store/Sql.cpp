#include "store/Sql.h"

namespace Sql {

QString quote(const QString& value)
{
    QString out;
    out.reserve(value.size() + 2);
    out += u'\'';
    for (const QChar c : value) {
        out += c;
        if (c == u'\'')
            out += u'\'';
    }
    out += u'\'';
    return out;
}

} // namespace Sql
