#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What a migration found and did, as the command line prints it and the program shows it: one
// line per table with its rows, each change it had to make, the conflicts that stop it (the first
// ShownConflicts of them, and how many there are), and notes for the office.
struct MigrationReport
{
    static constexpr int ShownConflicts = 50;

    struct Table
    {
        QString name;
        qint64 rows = 0;
    };

    QList<Table> tables;
    QStringList changes;
    QStringList conflicts; // the first ShownConflicts
    qint64 conflictCount = 0;
    QStringList notes;

    bool refused() const { return conflictCount > 0; }
    void addConflict(const QString& line);

    // "gzl: 48,213 rows", one per table, in the order the tables were read.
    QStringList tableLines() const;
    // The conflicts shown, then how many there are in all when some are not shown.
    QStringList conflictLines() const;

    // 48213 as "48,213".
    static QString grouped(qint64 n);
};
