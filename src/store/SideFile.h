#pragma once

#include <QString>

// A file written under a temporary name beside its destination and renamed onto it when
// complete: the rename replaces an earlier file in one step, within one file system. The
// temporary name is short and does not repeat the destination's name, which may already be as
// long as the file system allows a name to be.
namespace SideFile {

// ".<16 hex digits><ending>" in the destination's folder; `ending` is the temporary's extension
// (".dbf"), for writers that choose it from the name.
QString temporaryFor(const QString& destination, const QString& ending);

// Renames `temporary` onto `destination`, replacing a file there (whose permissions it takes).
// On failure removes `temporary` and returns the system's reason; empty when done.
QString moveOnto(const QString& temporary, const QString& destination);

} // namespace SideFile
