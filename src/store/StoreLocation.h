#pragma once

#include <QString>

// Where the store is: the store file of a data directory (the desktop store), or a database on a
// PostgreSQL server named by a libpq connection string or URI (a server store). A value; what it
// names is opened by Database::open().
struct StoreLocation
{
    QString dataDir;
    QString server; // the connection string; may hold a password, so it is never shown

    static StoreLocation desktop(const QString& dir) { return {dir, {}}; }
    static StoreLocation onServer(const QString& conninfo) { return {{}, conninfo}; }
    bool isServer() const { return !server.isEmpty(); }
    // What the store may be shown as: the data directory, or the server and database without a password.
    QString display() const;
    // The connection string without its password: what may be kept in the user's settings.
    QString withoutPassword() const;
};
