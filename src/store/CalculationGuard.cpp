#include "store/CalculationGuard.h"

#include "store/Database.h"

#include <sqlite3.h>

#include <cstring>
#include <strings.h>

namespace {

bool isWritableTable(const char* table)
{
    return table && (strcasecmp(table, "gzl") == 0 || strcasecmp(table, "rydm") == 0);
}

bool isMainSchema(const char* db)
{
    return !db || strcmp(db, "main") == 0;
}

} // namespace

CalculationGuard::CalculationGuard(Database& db) : m_db(db)
{
    m_db.setAuthorizer(&CalculationGuard::decide);
}

CalculationGuard::~CalculationGuard()
{
    m_db.setAuthorizer({});
}

int CalculationGuard::decide(int action, const char* a, const char*, const char* db)
{
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_FUNCTION:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    case SQLITE_UPDATE:
    case SQLITE_INSERT:
    case SQLITE_DELETE:
        return isWritableTable(a) && isMainSchema(db) ? SQLITE_OK : SQLITE_DENY;
    case SQLITE_PRAGMA:
        // The store's own column lookup for "from rydm,bmdm" reads table_info; nothing else.
        return a && strcasecmp(a, "table_info") == 0 ? SQLITE_OK : SQLITE_DENY;
    default:
        return SQLITE_DENY;
    }
}
