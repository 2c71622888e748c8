#pragma once

#include "store/RestoreSwitch.h"

#include <QString>

// Whole-store copies: a backup taken from the live store (also while the program works on it)
// and a restore that puts a checked copy in the store's place, keeping the replaced store.
namespace StoreBackup {

// Copies the store of a data directory consistently to `target` (through a temporary file in
// the target's directory, renamed over it only once the copy has passed check(); the temporaries
// that killed backups left in that directory go first). Returns the copy's layout version.
int backup(const QString& dataDir, const QString& target);

// Whether a file is a complete store of this program: the store's own integrity check passes
// and its layout is one this program knows. Throws StoreError saying what is wrong. Reads the
// file without changing it. Returns its layout version.
int check(const QString& file);

// Replaces the store of a data directory with a checked copy of `source`, prepared (copied,
// checked, brought to the current layout) in a work directory beside the store and put in its
// place in one rename (see RestoreSwitch; a run killed after the copy was checked is completed by
// StoreRecovery). The replaced store is kept beside it as "workload.sqlite3.<yyyyMMdd-HHmmss>.bak";
// its path is returned (empty when there was none). The caller makes sure no program holds the
// data directory. `observer` is for tests.
QString restore(const QString& dataDir, const QString& source, const RestoreSwitch::StepObserver& observer = {});

} // namespace StoreBackup
