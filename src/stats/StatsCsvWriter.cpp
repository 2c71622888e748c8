#include "stats/StatsCsvWriter.h"

#include "reports/CsvTableWriter.h"
#include "reports/SavedFile.h"

QByteArray StatsCsvWriter::bytes(const std::vector<StatsView>& views)
{
    QByteArray out("\xEF\xBB\xBF");
    bool first = true;
    for (const StatsView& view : views) {
        for (const StatsTable& table : view.tables) {
            if (!first)
                out += "\r\n";
            first = false;
            CsvTableWriter::appendRecord(out, {table.caption});
            CsvTableWriter::appendRecord(out, table.heading);
            for (const StatsTable::Row& row : table.rows) {
                QStringList fields;
                for (const StatsTable::Cell& cell : row)
                    fields << StatsTable::text(cell);
                CsvTableWriter::appendRecord(out, fields);
            }
        }
    }
    return out;
}

void StatsCsvWriter::write(const QString& path, const std::vector<StatsView>& views)
{
    SavedFile::writeBytes(path, bytes(views));
}
