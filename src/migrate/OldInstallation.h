#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// The data directory of the old program: its table files, found by name whatever their case
// (a copy from Windows often has "GZL.DB" beside "gzl.mb"). Index, validity and family files
// (".px", ".val", ".tv", ".fam") are not read.
class OldInstallation
{
public:
    // The table files of one table: the data file and its memo companion (empty when none).
    struct TableFiles
    {
        QString data;
        QString memo;
    };

    // Throws ProgramError when the directory cannot be listed.
    explicit OldInstallation(const QString& dir);

    const QString& dir() const { return m_dir; }
    // The files of table `name` ("gzl"); none when the directory has no data file for it. Two
    // files whose names differ only in case are refused with ProgramError: either could be meant.
    std::optional<TableFiles> find(const QString& name) const;

private:
    std::optional<QString> file(const QString& name) const;

    QString m_dir;
    QHash<QString, QStringList> m_byLowerName;
};
