#include "rows/RowField.h"

#include "store/Sql.h"

#include <algorithm>

QString RowField::literal() const
{
    return type == Type::Text ? Sql::quote(text) : text;
}

QString RowField::textOf(const QList<RowField>& fields, const QString& column)
{
    for (const RowField& f : fields)
        if (f.column == column)
            return f.text;
    return {};
}

namespace RowStatement {

namespace {

QList<RowField> insertOrder(const QList<RowField>& fields)
{
    QList<RowField> ordered = fields;
    std::stable_partition(ordered.begin(), ordered.end(), [](const RowField& f) { return f.insertFirst; });
    return ordered;
}

} // namespace

QStringList insert(const QList<RowField>& fields, int serial)
{
    const QList<RowField> ordered = insertOrder(fields);
    QStringList columns{QStringLiteral("xh")};
    for (const RowField& f : ordered)
        columns << f.column;
    QStringList lines{QStringLiteral("insert into gzl (%1)").arg(columns.join(u',')),
                      QStringLiteral(" values(%1,").arg(serial)};
    QString line;
    for (int i = 0; i < ordered.size(); ++i) {
        const bool last = i + 1 == ordered.size();
        line += ordered[i].literal() + (last ? u')' : u',');
        if (!ordered[i].insertSharesLine || last) {
            lines << line;
            line.clear();
        }
    }
    return lines;
}

QStringList update(const QList<RowField>& fields, const QString& where)
{
    QStringList lines{QStringLiteral("update gzl set ")};
    for (int i = 0; i < fields.size(); ++i)
        lines << fields[i].column + u'=' + fields[i].literal() +
                     (i + 1 == fields.size() ? QString() : QStringLiteral(","));
    lines << where;
    return lines;
}

} // namespace RowStatement
