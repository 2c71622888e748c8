#include "exchange/ExchangeTable.h"

#include "store/StoreSchema.h"

std::optional<int> ExchangeTable::indexOf(const QList<ExchangeColumn>& columns, const QString& name)
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return std::nullopt;
}

QList<ExchangeColumn> ExchangeTable::workloadColumns()
{
    QList<ExchangeColumn> out;
    for (const StoreSchema::ColumnDef& c : StoreSchema::exchangeColumns()) {
        ExchangeColumn column;
        column.name = QString::fromLatin1(c.name);
        switch (c.type) {
        case StoreSchema::ColumnType::Integer:
            column.kind = ExchangeColumn::Kind::Integer;
            break;
        case StoreSchema::ColumnType::SmallInt:
            column.kind = ExchangeColumn::Kind::SmallInt;
            break;
        case StoreSchema::ColumnType::Text:
            column.kind = ExchangeColumn::Kind::Text;
            column.width = c.width;
            break;
        default:
            column.kind = ExchangeColumn::Kind::Number;
            break;
        }
        out << column;
    }
    return out;
}
