#pragma once

#include "stats/StatsTable.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The statistics as comma-separated values: UTF-8 with a byte-order mark, CRLF line ends, fields
// quoted as RFC 4180 asks (as the teacher list's CSV). Each table of each view follows the one
// before after an empty line, led by its caption and its heading; numbers in general form.
class StatsCsvWriter
{
public:
    static QByteArray bytes(const std::vector<StatsView>& views);
    // Throws ReportFileError when the file cannot be written; an earlier file stays as it was.
    static void write(const QString& path, const std::vector<StatsView>& views);
};
