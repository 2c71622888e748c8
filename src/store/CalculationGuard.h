#pragma once

class Database;

// While it lives, the connection runs only what a calculation may do: read anything and
// change rows of gzl and rydm. Parameter texts are spliced into the engine's statements as
// they stand, so this is what keeps a hostile parameter row from attaching files, changing
// the schema, running pragmas or writing other tables. Removed again on destruction, also
// when the run ends in an error.
class CalculationGuard
{
public:
    explicit CalculationGuard(Database& db);
    ~CalculationGuard();
    CalculationGuard(const CalculationGuard&) = delete;
    CalculationGuard& operator=(const CalculationGuard&) = delete;

    // The decision for one SQLite authorizer request (SQLITE_OK or SQLITE_DENY).
    static int decide(int action, const char* a, const char* b, const char* db);

private:
    Database& m_db;
};
