#pragma once

#include "OldTableWriter.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

class Database;

// An old installation's data directory written by pxlib from the rows of a store: the eight
// tables of the old program under the names a copy from Windows gives them (some in upper case),
// with the field types the old program used (Currency k12, a memo field for the conditions whose
// longer texts lie in the .mb file, Logical rights, a Date field the store has no column for),
// and the files that are not read (a primary index, validity checks, the exchange's work tables).
class OldInstallationFixture
{
public:
    // Takes the rows of `db`'s tables but those of `leftOut`; the operators' passwords are
    // `passwords` (clear text, as the old program kept them), by operator code.
    OldInstallationFixture(Database& db, const QHash<QString, QString>& passwords, const QStringList& leftOut = {});

    // Rows and fields of each table, to change before write().
    QHash<QString, QList<QVariantList>> rows;
    QHash<QString, QList<OldTableWriter::Field>> fields;

    // Writes every table taken into `dir`.
    void write(const QString& dir) const;

    // The data file's name of a table in `dir` ("GZL.DB"), and of its memo file.
    static QString fileName(const QString& table);
    static QString memoName(const QString& table);
    static const QStringList& tables();
};
