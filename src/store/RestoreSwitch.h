#pragma once

#include <QString>

#include <functional>

// How a restore puts its prepared copy in the store's place, in steps that each leave a whole
// store under the store's name, and how a later run completes what a killed one began.
//
// The restore's work directory holds the copy under the store's file name; the ready marker,
// once that copy is complete and checked; and, from the moment the replaced store is kept aside
// until it has its kept name, that store as "replaced" (a second name of the same file where the
// file system has them). A work directory without the marker never reached the switch: it can
// only go. One with the marker is completed by whichever run meets it next.
namespace RestoreSwitch {

inline constexpr const char* ReadyMarker = "restore-ready";
inline constexpr const char* Replaced = "replaced";

// Tests look at the disk before each step; `step` names it.
using StepObserver = std::function<void(const QString& step)>;

// Marks the copy in the work directory as complete and checked (its bytes on the disk first);
// `source` is noted for messages. From here on the restore is completed, by this run or a later.
void markReady(const QString& workDir, const QString& source);
bool isReady(const QString& workDir);
// The file the marked restore copies, as noted.
QString sourceOf(const QString& workDir);

// Completes the restore of a marked work directory into the store of `dataDir`: the store's
// committed journal is folded in and the store kept aside, the store's journal files go (they
// belong to the replaced store), the copy is renamed over the store (the one step in which the
// store changes) and the replaced store gets its kept name, "workload.sqlite3.<yyyyMMdd-HHmmss>.bak"
// ("-2", "-3", ... before ".bak" when that name is taken: a kept store is never overwritten).
// Any step may have been done by a run that was killed; it is not done twice. Returns the kept
// store's path (empty when there was no store). Leaves the work directory empty; throws a
// StoreError when a step fails.
QString complete(const QString& workDir, const QString& dataDir, const StepObserver& observer = {});

} // namespace RestoreSwitch
