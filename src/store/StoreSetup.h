#pragma once

#include <QString>

#include <functional>

class Database;

// A fresh store: every table, the default operators, years, settings row and parameter rows.
namespace StoreSetup {

// Creates the store of a data directory; an existing store is refused unless replace is true.
// The store is built in a directory of its own inside the data directory and moved into place
// only when complete; `fill`, when given, adds to it there (it gets that directory and opens
// the store itself) before the move.
// `defaults`: whether the store starts with the default operators, years, settings row and
// parameters, or with every table empty for `fill` to fill.
void createStore(const QString& dataDir, bool replace, const std::function<void(const QString&)>& fill = {},
                 bool defaults = true);

// Fills an empty store with the rows a first run needs (inside the caller's transaction, if any).
void addDefaults(Database& db);

} // namespace StoreSetup
