#pragma once

#include "store/WorkloadStage.h"

class SqliteDatabase;

// The SQLite engine's stage: a temporary table `gzl` (in memory) with the store's columns,
// checks and row identities, plus indexes on category and type and on the teacher; each computed
// column also refuses an infinite value by a check named "finite_<column>". The unqualified name
// `gzl` means it while it exists.
class SqliteWorkloadStage : public WorkloadStage
{
public:
    // Copies the rows of `filter` (a condition over gzl's columns) into the stage. Runs inside the
    // caller's transaction, before the calculation guard is in place.
    SqliteWorkloadStage(SqliteDatabase& db, const QString& filter);
    ~SqliteWorkloadStage() override;
    SqliteWorkloadStage(const SqliteWorkloadStage&) = delete;
    SqliteWorkloadStage& operator=(const SqliteWorkloadStage&) = delete;

    int writeBack() override;
    QString infiniteColumn(const StoreError& e) const override;

private:
    SqliteDatabase& m_db;
};
