#include "stats/StatsTable.h"

#include "store/NumberFormat.h"

QString StatsTable::text(const Cell& cell)
{
    if (const auto* s = std::get_if<QString>(&cell))
        return *s;
    if (const auto* n = std::get_if<double>(&cell))
        return NumberFormat::general(*n);
    return {};
}
