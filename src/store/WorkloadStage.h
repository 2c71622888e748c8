#pragma once

#include <QString>

class Database;
class StoreError;

// The workload rows of one tree node, staged for the calculation in a temporary table `gzl` of
// the same columns, checks and order keys. While it lives, the unqualified name `gzl` in a
// statement means this table, so the calculation's statements run as written over the node's
// rows alone instead of the whole store; writeBack() then writes what they changed into the
// store's rows, found by their row identity. A statement that reads rows outside its filter (a
// condition with a top-level `or`, a subquery) would see less here than in the store: such
// parameter rows are run on the store itself (see SqlTokens::keepsToItsRows).
class WorkloadStage
{
public:
    // Whether the store's rows can be staged at all: a trigger on them would fire when the stage is
    // written back rather than after each statement, and may then do something else.
    static bool storeAllows(Database& db);

    // Copies the rows of `filter` (a condition over gzl's columns) into the stage. Runs inside the
    // caller's transaction, before the calculation guard is in place.
    WorkloadStage(Database& db, const QString& filter);
    ~WorkloadStage();
    WorkloadStage(const WorkloadStage&) = delete;
    WorkloadStage& operator=(const WorkloadStage&) = delete;

    // Writes the computed columns of every staged row whose values changed into the store's row.
    // Returns the rows written.
    int writeBack();

    // The column of the stage's refusal of an infinite value; empty when `e` is another error.
    static QString infiniteColumn(const StoreError& e);

private:
    Database& m_db;
};
