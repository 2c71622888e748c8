#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What killed commands left in a data directory, put right before a program works on it: a
// restore that reached its switch is completed (the operator asked for it), one that did not is
// undone, and the temporaries of commands that have ended are removed (see Leftovers).
namespace StoreRecovery {

struct FinishedRestore
{
    QString source; // the file restored, as the restore noted it
    QString kept;   // the replaced store's kept name; empty when there was no store
};

struct Outcome
{
    QList<FinishedRestore> finished;
    // Restores removed that never reached their switch: the store is the one they found.
    int undone = 0;
    // Leftovers removed (names in the data directory).
    QStringList removed;
};

// Whether the data directory holds a restore's work directory, of a running restore or not.
bool restorePending(const QString& dataDir);

// Completes or undoes every restore in the data directory whose run has ended, then removes the
// leftovers there. The caller holds the data directory (no program works on its store). Throws a
// StoreError when a restore cannot be completed; the store is then the one it replaces, or the
// restored one, never none.
Outcome recover(const QString& dataDir);

} // namespace StoreRecovery
