#pragma once

#include <QString>

// The store's own file moves, for a store built or copied beside its place.
namespace StoreFiles {

// Replaces `to` by `from` in one step: the system's rename, which also replaces an existing file.
// Throws StoreError (storage) saying why it could not.
void replaceFile(const QString& from, const QString& to);

} // namespace StoreFiles
