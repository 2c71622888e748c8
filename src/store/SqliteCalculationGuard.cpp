#include "store/SqliteCalculationGuard.h"

#include "store/SqliteDatabase.h"

#include <sqlite3.h>

#include <cstring>
#include <memory>
#include <string>
#include <strings.h>
#include <vector>

namespace {

// The grant as the authorizer compares it, many times per compiled statement: byte strings.
struct Names
{
    std::vector<std::string> names;

    explicit Names(const QStringList& list)
    {
        for (const QString& n : list)
            names.push_back(n.toStdString());
    }
    bool contains(const char* name) const
    {
        if (!name)
            return false;
        for (const std::string& n : names)
            if (strcasecmp(name, n.c_str()) == 0)
                return true;
        return false;
    }
};

struct Grant
{
    Names readable;
    std::vector<std::pair<std::string, Names>> writable;
    quint64 budget;

    explicit Grant(const Database::CalculationGrant& g) : readable(g.readable), budget(g.budget)
    {
        for (const auto& [table, columns] : g.writable)
            writable.emplace_back(table.toStdString(), Names(columns));
    }
};

// SQLite names no schema when it reports a table from which no column is read (count(*)).
bool isMainSchema(const char* db)
{
    return !db || strcmp(db, "main") == 0;
}

// The store's tables, and the workload rows of a node staged for the calculation (the temporary
// `gzl`): no other temporary table.
bool isCalculationSchema(const char* db, const char* table)
{
    return isMainSchema(db) || (strcmp(db, "temp") == 0 && table && strcasecmp(table, "gzl") == 0);
}

bool isWritable(const Grant& grant, const char* table, const char* column)
{
    for (const auto& [granted, columns] : grant.writable)
        if (table && strcasecmp(table, granted.c_str()) == 0)
            return columns.contains(column);
    return false;
}

int allowIf(bool allowed)
{
    return allowed ? SQLITE_OK : SQLITE_DENY;
}

int decideFor(const Grant& grant, int action, const char* a, const char* b, const char* db)
{
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_FUNCTION:
        return SQLITE_OK;
    case SQLITE_READ:
        return allowIf(isCalculationSchema(db, a) && grant.readable.contains(a));
    case SQLITE_UPDATE:
        return allowIf(isCalculationSchema(db, a) && isWritable(grant, a, b));
    case SQLITE_PRAGMA:
        // The store's own column lookup for "from rydm,bmdm" reads table_info; nothing else.
        return allowIf(a && strcasecmp(a, "table_info") == 0 && grant.readable.contains(b));
    default:
        // Inserts, deletes, recursive queries (which need not end), schema changes, attachments,
        // transactions and the rest.
        return SQLITE_DENY;
    }
}

} // namespace

SqliteCalculationGuard::SqliteCalculationGuard(SqliteDatabase& db, Database::CalculationGrant grant) : m_db(db)
{
    m_db.setAuthorizer(
        [compiled = std::make_shared<Grant>(grant)](int action, const char* a, const char* b, const char* schema) {
            return decideFor(*compiled, action, a, b, schema);
        });
    m_db.setStepLimit(grant.budget);
}

SqliteCalculationGuard::~SqliteCalculationGuard()
{
    m_db.setStepLimit(0);
    m_db.setAuthorizer({});
}

int SqliteCalculationGuard::decide(const Database::CalculationGrant& grant, int action, const char* a, const char* b,
                                   const char* db)
{
    return decideFor(Grant(grant), action, a, b, db);
}
