#pragma once

#include <QString>
#include <QStringList>

#include <chrono>

// The temporaries that the store's commands make, and the removal of those that a killed command
// left behind. Each is made and held through HeldTemporary; "XXXXXX" in a name stands for six
// letters and digits.
namespace Leftovers {

// A backup's copy, beside its target until it is renamed onto it.
inline const QString BackupCopy = QStringLiteral(".workload-XXXXXX.part");
// A restore's work directory in the data directory (see RestoreSwitch).
inline const QString RestoreWork = QStringLiteral(".workload-restore-XXXXXX");
// The directory in the data directory where a new store is built.
inline const QString NewStore = QStringLiteral(".workload-new-XXXXXX");
// The import's copies of a Paradox and a dBASE exchange file, in the data directory.
inline const QString ParadoxCopy = QStringLiteral("dbtemp-XXXXXX.db");
inline const QString DbaseCopy = QStringLiteral("temp-XXXXXX.dbf");

// Which temporaries a folder may hold: a data directory any of them, a backup's target folder
// only the backup's copies.
enum class Place
{
    DataDirectory,
    BackupFolder
};

// A temporary younger than this may belong to a command that has just made it and not yet
// locked it.
inline constexpr std::chrono::seconds MinimumAge{10};

// Whether `name` is a name that `pattern` makes.
bool matches(const QString& name, const QString& pattern);

// Removes from `dir` the temporaries of `place` that no living command holds (see HeldTemporary)
// and that are at least `minimumAge` old, with the journals SQLite left beside such a file (and
// journals whose file is gone). A restore's work directory marked ready is left for
// StoreRecovery, which finishes the restore. Returns the names removed.
QStringList removeDead(const QString& dir, Place place = Place::DataDirectory,
                       std::chrono::seconds minimumAge = MinimumAge);

} // namespace Leftovers
