#include "store/PostgresCalculationGuard.h"

#include "store/PostgresDatabase.h"
#include "store/PostgresSchema.h"

#include <algorithm>
#include <limits>

namespace {

QString quoted(const QString& name)
{
    QString n = name;
    return u'"' + n.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

QStringList PostgresCalculationGuard::grantStatements(const QString& schema, const QString& role,
                                                      const Database::CalculationGrant& grant)
{
    const QString s = quoted(schema);
    const QString r = quoted(role);
    QStringList out{QStringLiteral("REVOKE ALL ON ALL TABLES IN SCHEMA %1 FROM %2").arg(s, r),
                    QStringLiteral("GRANT USAGE ON SCHEMA %1 TO %2").arg(s, r)};
    for (const QString& table : grant.readable)
        out << QStringLiteral("GRANT SELECT ON %1.%2 TO %3").arg(s, quoted(table.toLower()), r);
    for (const auto& [table, columns] : grant.writable) {
        QStringList names;
        for (const QString& c : columns)
            names << quoted(c.toLower());
        out << QStringLiteral("GRANT UPDATE (%1) ON %2.%3 TO %4").arg(names.join(u','), s, quoted(table.toLower()), r);
    }
    return out;
}

QStringList PostgresCalculationGuard::stagedGrantStatements(const QStringList& staged, const QString& role,
                                                            const Database::CalculationGrant& grant)
{
    const QString r = quoted(role);
    QStringList out;
    for (const QString& table : grant.readable)
        if (staged.contains(table.toLower()))
            out << QStringLiteral("GRANT SELECT ON pg_temp.%1 TO %2").arg(quoted(table.toLower()), r);
    for (const auto& [table, columns] : grant.writable) {
        if (!staged.contains(table.toLower()))
            continue;
        QStringList names;
        for (const QString& c : columns)
            names << quoted(c.toLower());
        out << QStringLiteral("GRANT UPDATE (%1) ON pg_temp.%2 TO %3")
                   .arg(names.join(u','), quoted(table.toLower()), r);
    }
    return out;
}

int PostgresCalculationGuard::timeoutMs(quint64 budget)
{
    if (budget == 0)
        return StatementTimeoutMs;
    return int(std::clamp<quint64>(budget / StepsPerMs, MinimumTimeoutMs, quint64(std::numeric_limits<int>::max())));
}

PostgresCalculationGuard::PostgresCalculationGuard(PostgresDatabase& db, const Database::CalculationGrant& grant)
    : m_db(db)
{
    if (!m_db.inTransaction())
        throw StoreError(QStringLiteral("计算必须在一个事务中进行"));
    const QString role = PostgresSchema::calculationRole(m_db.databaseName());
    // The grant is the program's own; it is set again for every run, so that no other grant
    // given to the role in between widens what a parameter row may do.
    for (const QString& s : grantStatements(m_db.schema(), role, grant))
        m_db.executeInternal(s);
    // A table staged for the calculation (see PostgresWorkloadStage) stands for the store's table
    // of its name, with the same rights; it is new for every node, so none are left to revoke.
    QStringList staged;
    for (const QVariantList& row :
         m_db.selectInternal(QStringLiteral("SELECT relname FROM pg_class WHERE relnamespace = pg_my_temp_schema() "
                                            "AND relkind = 'r'"))
             .rows)
        staged << row.value(0).toString();
    for (const QString& s : stagedGrantStatements(staged, role, grant))
        m_db.executeInternal(s);
    m_db.executeInternal(QStringLiteral("SET LOCAL statement_timeout = %1").arg(timeoutMs(grant.budget)));
    m_db.executeInternal(QStringLiteral("SET LOCAL %1 = 'on'").arg(QLatin1String(PostgresSchema::CalculatingSetting)));
    m_db.executeInternal(QStringLiteral("SET LOCAL ROLE %1").arg(quoted(role)));
    m_db.requireRole(role);
}

PostgresCalculationGuard::~PostgresCalculationGuard()
{
    m_db.requireRole({});
    try {
        m_db.executeInternal(QStringLiteral("RESET ROLE"));
        m_db.executeInternal(QStringLiteral("SET LOCAL statement_timeout TO DEFAULT"));
        m_db.executeInternal(
            QStringLiteral("SET LOCAL %1 = 'off'").arg(QLatin1String(PostgresSchema::CalculatingSetting)));
    } catch (const StoreError&) {
        // A failed transaction refuses these; its rollback ends the role and the timeout anyway.
    }
}
