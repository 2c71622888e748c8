#pragma once

#include "reports/TeacherListTable.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The list as comma-separated values for other programs: UTF-8 with a byte-order mark (so that
// spreadsheet programs take it as UTF-8), CRLF line ends, fields quoted as RFC 4180 asks. The first
// record is the heading, so that the file imports as one table; the title is left out.
// Numbers are written in general form with "." as the point; empty cells are empty fields.
class CsvTableWriter
{
public:
    static QByteArray bytes(const TeacherListTable& table);
    // One record of fields, quoted where they need it, ended by CRLF: the rule of every CSV file
    // the program writes.
    static void appendRecord(QByteArray& out, const QStringList& fields);

    // Throws ReportFileError when the file cannot be written.
    static void write(const QString& path, const TeacherListTable& table);
};
