#pragma once

#include "store/Database.h"

class SqliteDatabase;

// The SQLite engine's calculation guard: while it lives, the connection's authorizer lets a
// statement read only the granted tables and update only the granted columns, and a progress
// handler stops a statement that runs beyond the granted number of steps (SQLite virtual-machine
// instructions). Parameter texts are spliced into the engine's statements as they stand, so this
// is what keeps a hostile or careless parameter row from renaming, re-dating or moving workload
// rows, copying operators' passwords into them, attaching files, changing the schema or never
// finishing. The workload rows staged for the calculation (the temporary `gzl`) count as the
// workload table. Removed again on destruction, also when the run ends in an error.
class SqliteCalculationGuard : public Database::Scope
{
public:
    SqliteCalculationGuard(SqliteDatabase& db, Database::CalculationGrant grant);
    ~SqliteCalculationGuard() override;
    SqliteCalculationGuard(const SqliteCalculationGuard&) = delete;
    SqliteCalculationGuard& operator=(const SqliteCalculationGuard&) = delete;

    // The decision for one SQLite authorizer request under a grant (SQLITE_OK or SQLITE_DENY).
    static int decide(const Database::CalculationGrant& grant, int action, const char* a, const char* b,
                      const char* db);

private:
    SqliteDatabase& m_db;
};
