#pragma once

#include "store/WorkloadStage.h"

class PostgresDatabase;

// The server's stage: a temporary table `gzl` of the connection with the store's columns and row
// identities, indexes on category and type and on the teacher, and a check "finite_<column>" on
// each computed column. The connection's temporary tables come before the store's schema in its
// search path, so the unqualified name `gzl` means the stage while it exists.
class PostgresWorkloadStage : public WorkloadStage
{
public:
    // Copies the rows of `filter` (a condition over gzl's columns, as the desktop store reads it)
    // into the stage. Runs inside the caller's transaction, before the calculation guard is in
    // place; the guard gives its role the same rights on the stage as on the store's `gzl`.
    PostgresWorkloadStage(PostgresDatabase& db, const QString& filter);
    ~PostgresWorkloadStage() override;
    PostgresWorkloadStage(const PostgresWorkloadStage&) = delete;
    PostgresWorkloadStage& operator=(const PostgresWorkloadStage&) = delete;

    int writeBack() override;
    QString infiniteColumn(const StoreError& e) const override;
    bool checksAhead() const override { return true; }

private:
    PostgresDatabase& m_db;
};
