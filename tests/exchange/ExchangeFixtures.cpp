#include "ExchangeFixtures.h"

namespace ExchangeFixtures {

QVariantList row(const QString& teacher, const QString& section, const QString& faculty, const QString& year)
{
    QVariantList out;
    for (const ExchangeColumn& c : ExchangeTable::workloadColumns()) {
        if (c.kind == ExchangeColumn::Kind::Integer)
            out << QVariant(qint64(7));
        else if (c.kind == ExchangeColumn::Kind::SmallInt)
            out << QVariant(qint64(1));
        else if (c.kind == ExchangeColumn::Kind::Number)
            out << QVariant(1.5);
        else
            out << QVariant(c.name.left(c.width));
    }
    set(out, QStringLiteral("jiaoshi"), teacher);
    set(out, QStringLiteral("jiaoyanshi"), section);
    set(out, QStringLiteral("yuanbu"), faculty);
    set(out, QStringLiteral("nd"), year);
    set(out, QStringLiteral("fl"), QStringLiteral("理论实验"));
    set(out, QStringLiteral("zhicheng"), QStringLiteral("副高级"));
    set(out, QStringLiteral("xingzhi"), QStringLiteral("专职"));
    set(out, QStringLiteral("gangwei"), QStringLiteral("无重点岗位"));
    return out;
}

ExchangeTable table(const std::vector<QVariantList>& rows)
{
    ExchangeTable t;
    t.columns = ExchangeTable::workloadColumns();
    t.rows = rows;
    return t;
}

void set(QVariantList& row, const QString& column, const QVariant& value)
{
    const ExchangeTable t = table({});
    row[*t.indexOf(column)] = value;
}

} // namespace ExchangeFixtures
