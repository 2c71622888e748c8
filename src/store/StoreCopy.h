#pragma once

#include <QString>
#include <QStringList>

class Database;

// The rows of one store copied into another, whatever engines keep them: an office moving its
// desktop store to a server, a server store written as a desktop store file, a desktop store file
// put back on a server. The target's rows are replaced in one transaction: all or nothing.
namespace StoreCopy {

struct TableCount
{
    QString table;
    int rows = 0;
};

// The tables whose rows a copy carries, in order. The settings record is one per operator on a
// server: the copy carries the shared one (the record of no operator), as the desktop store has it.
QStringList tables();

// Replaces every table's rows of `to` with those of `from`; returns the rows copied per table.
QList<TableCount> replaceRows(Database& from, Database& to);

// Copies a desktop store into an empty server store (one whose tables hold no rows but the
// defaults of a fresh store); refuses a server store that holds workload rows or teachers.
QList<TableCount> push(const QString& dataDir, const QString& server);
// Writes a server store as a desktop store file (what restore and the desktop program open).
QList<TableCount> backupServer(const QString& server, const QString& file);
// Replaces the rows of a server store with those of a desktop store file.
QList<TableCount> restoreServer(const QString& server, const QString& file);

} // namespace StoreCopy
