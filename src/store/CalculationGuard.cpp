#include "store/CalculationGuard.h"

#include "store/Database.h"
#include "store/StoreSchema.h"

#include <sqlite3.h>

#include <cstring>
#include <strings.h>

namespace {

bool isOneOf(const char* name, std::initializer_list<const char*> names)
{
    if (!name)
        return false;
    for (const char* n : names)
        if (strcasecmp(name, n) == 0)
            return true;
    return false;
}

// SQLite names no schema when it reports a table from which no column is read (count(*)).
bool isMainSchema(const char* db)
{
    return !db || strcmp(db, "main") == 0;
}

// The store's tables, and the workload rows of a node staged for the calculation (WorkloadStage):
// no other temporary table.
bool isCalculationSchema(const char* db, const char* table)
{
    return isMainSchema(db) || (strcmp(db, "temp") == 0 && isOneOf(table, {"gzl"}));
}

// The workload rows, the teachers, their sections (the totals join rydm with bmdm) and the
// parameter rows. Operators, years, faculties, settings, work tables and the schema stay unseen.
bool isReadable(const char* table)
{
    return isOneOf(table, {"gzl", "rydm", "bmdm", "sysparameter"});
}

// What the calculation computes. Names, year, faculty, section, category, serial and the raw
// facts typed in at entry are never a calculation's to change; q32 and q33 are typed in as well,
// but a parameter row may compute them.
bool isWritable(const char* table, const char* column)
{
    if (isOneOf(table, {"gzl"})) {
        for (const char* computed : StoreSchema::computedColumns())
            if (column && strcasecmp(column, computed) == 0)
                return true;
        return false;
    }
    if (isOneOf(table, {"rydm"}))
        return isOneOf(column, {"q", "q11", "q12", "q2", "q31", "q32", "q33"});
    return false;
}

int allowIf(bool allowed)
{
    return allowed ? SQLITE_OK : SQLITE_DENY;
}

} // namespace

CalculationGuard::CalculationGuard(Database& db, quint64 stepLimit) : m_db(db)
{
    m_db.setAuthorizer(&CalculationGuard::decide);
    m_db.setStepLimit(stepLimit);
}

CalculationGuard::~CalculationGuard()
{
    m_db.setStepLimit(0);
    m_db.setAuthorizer({});
}

int CalculationGuard::decide(int action, const char* a, const char* b, const char* db)
{
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_FUNCTION:
        return SQLITE_OK;
    case SQLITE_READ:
        return allowIf(isCalculationSchema(db, a) && isReadable(a));
    case SQLITE_UPDATE:
        return allowIf(isCalculationSchema(db, a) && isWritable(a, b));
    case SQLITE_PRAGMA:
        // The store's own column lookup for "from rydm,bmdm" reads table_info; nothing else.
        return allowIf(isOneOf(a, {"table_info"}) && isReadable(b));
    default:
        // Inserts, deletes, recursive queries (which need not end), schema changes, attachments,
        // transactions and the rest.
        return SQLITE_DENY;
    }
}
