#include "masterdata/ScratchQuery.h"

#include "store/Query.h"

bool ScratchQuery::exists(const QStringList& lines)
{
    m_holder.setStatement(lines);
    return m_holder.hasRows();
}

QStringList ScratchQuery::firstRow(const QStringList& lines, const QStringList& fields)
{
    m_holder.setStatement(lines);
    m_holder.open();
    QStringList values;
    if (m_holder.recordCount() > 0) {
        for (const QString& field : fields)
            values << m_holder.fieldByName(field).asString();
    }
    m_holder.close();
    return values;
}

int ScratchQuery::change(const QString& table, const QString& verb, const QStringList& lines, Outcome& outcome)
{
    m_holder.setStatement(lines);
    const int rows = m_holder.execSql();
    outcome.changes << Outcome::Change{table, verb, rows};
    return rows;
}
