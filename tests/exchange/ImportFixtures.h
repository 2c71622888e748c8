#pragma once

#include "exchange/StagingCopy.h"
#include "exchange/WorkloadImport.h"
#include "support/TestStore.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QVariantList>

#include <vector>

// Stores, files and disks for the import's tests.
namespace ImportFixtures {

inline const QString Year = QStringLiteral("2026-2027学年");
inline const QString OldYear = QStringLiteral("2025-2026学年");

// The rows of a result without the row number column that a server's table has of its own (and
// "*" includes): rows compared by what they hold.
std::vector<QVariantList> withoutRowNumbers(const Database::Result& r);

// Every row of the tables an import may change, in a fixed order, values as the store holds them.
std::vector<QVariantList> dump(TestStore& s);

struct Imported
{
    WorkloadImport::Outcome outcome;
    WorkloadImport::Counts counts;
};

// The whole import of a file, as the screen runs it.
Imported importFile(TestStore& s, const QString& path, const QDateTime& now = QDateTime::currentDateTime());

// Writes the rows as an exchange file of the format the name's ending says.
QString writeFile(const QTemporaryDir& dir, const std::vector<QVariantList>& rows,
                  const QString& name = QStringLiteral("bt.dbt"));

// A workload row of the fixtures with its names, year and serial.
QVariantList rowWith(const QString& teacher, const QString& section, const QString& faculty, const QString& year,
                     qint64 xh);

// Where the import copies its files: the data directory, or the temporary files' directory for a
// store on a server.
QString workDirectory(const TestStore& s);
// The import's copies of files left there.
QStringList stagingCopies(const TestStore& s);

// A disk that takes the first `room` bytes of a copy and then fails with `error`.
StagingCopy::Writer diskWithRoomFor(long long room, int error);

} // namespace ImportFixtures
