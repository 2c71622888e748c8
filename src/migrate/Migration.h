#pragma once

#include "migrate/MigrationReport.h"
#include "migrate/OldInstallation.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <functional>

class Database;
class ExchangeRowSink;

// Brings the tables of an old installation into a store: gzl, rydm, bmdm, yuanbu, sysparameter,
// user1, niandu and the settings record system.db, every column as it was. check() reads every
// table and finds what the store's keys and widths would refuse; write() reads them again and
// writes them in one transaction, replacing what the store's tables held. Only the store
// interface is used, so any engine behind it will do.
//
// With `repair`, the conflicts that have one right answer are mended and each mend is reported:
// a faculty, section or teacher listed twice with the same values is kept once; a section or
// teacher code that another row has is given the next free code made from the time, as the
// import makes codes (teachers keep the section of the first code); a workload serial that
// another row has is given the next serial above the highest. A text wider than its column, a
// value of the wrong kind, or an operator table without operators is never mended: it is listed
// and the migration refused, so that the office mends the old table itself.
class Migration
{
public:
    // Where the work is: the table (its store name), rows done so far and in all, and whether
    // the rows are being written (else checked).
    using Progress = std::function<void(const QString& table, qint64 done, qint64 total, bool writing)>;

    Migration(const QString& oldDir, bool repair);

    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // Reads and checks every table. A table that is missing or cannot be read throws a
    // ProgramError naming the file and what is wrong; conflicts are listed in the report, which
    // is refused() while any is left.
    const MigrationReport& check();

    // Writes the checked tables into `db` in one transaction; the tables' rows before are gone
    // afterwards. Operators' passwords are stored as hashes. Throws ProgramError (StoreError for
    // the store's refusals) and then leaves the store as it was.
    void write(Database& db);

    const MigrationReport& report() const { return m_report; }

    // The tables in the order they are read and reported.
    static const QStringList& tables();

private:
    // What the check decided for a table's rows.
    struct Plan
    {
        QSet<qint64> dropped;
        QHash<qint64, QString> newKeys; // codes, or serials as text
    };

    OldInstallation::TableFiles filesOf(const QString& table) const;
    void read(const QString& table, ExchangeRowSink& sink, bool writing);
    void checkTable(const QString& table);
    void decideDuplicates(const QString& table, const class KeyDuplicates& keys);
    QString nextCode(const class KeyDuplicates& keys, const QString& table);
    void writeTable(Database& db, const QString& table);
    void noteColumns(const QString& table, const class TableCopy& copy);

    OldInstallation m_old;
    bool m_repair;
    Progress m_progress;
    MigrationReport m_report;
    QHash<QString, Plan> m_plans;
    QHash<QString, qint64> m_counters;
    QString m_year;
    bool m_addSettingsRow = false;
    bool m_checked = false;
};
