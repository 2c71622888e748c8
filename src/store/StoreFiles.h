#pragma once

#include <QString>

#include <optional>

// Files replaced in one step: a file is written under a temporary name beside its destination
// (in the same folder, so on the same file system) and renamed onto it when complete.
namespace StoreFiles {

// Renames `from` to `to`, replacing a file there. Throws a storage StoreError with the
// system's reason.
void replaceFile(const QString& from, const QString& to);

// ".<16 hex digits><ending>" in the destination's folder; `ending` is the temporary's extension
// (".dbf"), for writers that choose it from the name. The name is short and does not repeat the
// destination's, which may already be as long as the file system allows a name to be.
QString temporaryFor(const QString& destination, const QString& ending);

// Gives `to` the permissions of `from`, when `from` exists: a file written under a temporary name
// takes those of the file it stands for. Throws a storage StoreError when `to` refuses them.
void copyPermissions(const QString& from, const QString& to);

// Renames `temporary` onto `destination`, replacing a file there (whose permissions it takes).
// On failure removes `temporary` and returns the system's reason; nothing when done.
std::optional<QString> moveOnto(const QString& temporary, const QString& destination);

// Renames `from` to `to` unless something is there already (then false, and nothing changes).
// Throws a storage StoreError with the system's reason for any other failure.
bool moveWithoutReplacing(const QString& from, const QString& to);

// Writes what the system holds of a file, or of a directory's list of names, to the disk; throws
// a storage StoreError when that fails (the disk is full, an I/O error, no such file). Only
// for a file that no connection of this process has open: closing a descriptor of a file drops
// the process's record locks on it, SQLite's included.
void sync(const QString& path);

} // namespace StoreFiles
