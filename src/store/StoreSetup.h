#pragma once

#include <QString>

class Database;

// A fresh store: every table, the default operators, years, settings row and parameter rows.
namespace StoreSetup {

// Creates the store of a data directory; an existing store is refused unless replace is true.
void createStore(const QString& dataDir, bool replace);

// Fills an empty store with the rows a first run needs (inside the caller's transaction, if any).
void addDefaults(Database& db);

} // namespace StoreSetup
