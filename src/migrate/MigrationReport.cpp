#include "migrate/MigrationReport.h"

void MigrationReport::addConflict(const QString& line)
{
    if (conflicts.size() < ShownConflicts)
        conflicts << line;
    ++conflictCount;
}

QStringList MigrationReport::tableLines() const
{
    QStringList lines;
    for (const Table& t : tables)
        lines << QStringLiteral("%1: %2 %3").arg(t.name, grouped(t.rows), t.rows == 1 ? u"row" : u"rows");
    return lines;
}

QStringList MigrationReport::conflictLines() const
{
    QStringList lines = conflicts;
    if (conflictCount > conflicts.size())
        lines << QStringLiteral("…… 共 %1 处冲突，只列出前 %2 处").arg(grouped(conflictCount)).arg(conflicts.size());
    else if (conflictCount > 0)
        lines << QStringLiteral("共 %1 处冲突").arg(grouped(conflictCount));
    return lines;
}

QString MigrationReport::grouped(qint64 n)
{
    QString digits = QString::number(n < 0 ? -n : n);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return n < 0 ? u'-' + digits : digits;
}
