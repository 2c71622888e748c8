#pragma once

#include <QString>

class StoreError;

// The workload rows of one tree node, staged for the calculation in a table of their own that
// the unqualified name `gzl` means while the stage lives, so that the calculation's statements
// run as written over the node's rows alone instead of the whole store; writeBack() then writes
// what they changed into the store's rows. A statement that reads rows outside its filter (a
// condition with a top-level `or`, a subquery) would see less here than in the store: such
// parameter rows are run on the store itself (see SqlTokens::keepsToItsRows). Made by
// Database::stageWorkload(); the stage is gone on destruction.
class WorkloadStage
{
public:
    virtual ~WorkloadStage() = default;

    // Writes the computed columns of every staged row whose values changed into the store's row.
    // Returns the rows written.
    virtual int writeBack() = 0;

    // The stage's own refusal of an infinite value in a computed column: the column; empty when
    // `e` is another error.
    virtual QString infiniteColumn(const StoreError& e) const = 0;

    // Whether the calculation must still look for an infinite value before each update: a store
    // whose refusal ends the transaction cannot be asked afterwards for which row it was.
    virtual bool checksAhead() const { return false; }

protected:
    // What a write back names: the computed columns ("q1,q11,..."), the staged row's values of
    // them ("s.q1,s.q11,...") and the condition that the store's row "m" differs from the staged
    // row "s" in one of them; `differs` is the engine's form of "%1 differs from %2", %1 and %2
    // standing for the column of "m" and of "s".
    struct WriteBackLists
    {
        QString columns;
        QString staged;
        QString changed;
    };
    static WriteBackLists writeBackLists(const QString& differs);
};
