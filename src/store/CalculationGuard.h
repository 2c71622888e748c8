#pragma once

#include <QtGlobal>

class Database;

// While it lives, the connection runs only what a calculation does: read the workload rows, the
// teachers with their sections and the parameter rows; write the computed columns of the
// workload rows and the teachers' totals; and no statement runs longer than a step budget.
// Parameter texts are spliced into the engine's statements as they stand, so this is what keeps a
// hostile or careless parameter row from renaming, re-dating or moving workload rows, copying
// operators' passwords into them, attaching files, changing the schema or never finishing.
// Removed again on destruction, also when the run ends in an error.
class CalculationGuard
{
public:
    // Steps (SQLite virtual-machine instructions) one statement of a calculation may take. No
    // statement of a whole year's calculation over a university of 180,000 workload rows takes
    // 300,000; the limit is over three thousand times that, yet it stops a statement that would
    // never end after some ten to thirty seconds.
    static constexpr quint64 StepLimit = 1'000'000'000;

    explicit CalculationGuard(Database& db, quint64 stepLimit = StepLimit);
    ~CalculationGuard();
    CalculationGuard(const CalculationGuard&) = delete;
    CalculationGuard& operator=(const CalculationGuard&) = delete;

    // The decision for one SQLite authorizer request (SQLITE_OK or SQLITE_DENY).
    static int decide(int action, const char* a, const char* b, const char* db);

private:
    Database& m_db;
};
