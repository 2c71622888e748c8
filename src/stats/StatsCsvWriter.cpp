#include "stats/StatsCsvWriter.h"

#include "reports/SavedFile.h"

namespace {

QByteArray field(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\r') && !bytes.contains('\n'))
        return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

void appendRecord(QByteArray& out, const QStringList& fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        out += field(fields[i]);
    }
    out += "\r\n";
}

} // namespace

QByteArray StatsCsvWriter::bytes(const std::vector<StatsView>& views)
{
    QByteArray out("\xEF\xBB\xBF");
    bool first = true;
    for (const StatsView& view : views) {
        for (const StatsTable& table : view.tables) {
            if (!first)
                out += "\r\n";
            first = false;
            appendRecord(out, {table.caption});
            appendRecord(out, table.heading);
            for (const StatsTable::Row& row : table.rows) {
                QStringList fields;
                for (const StatsTable::Cell& cell : row)
                    fields << StatsTable::text(cell);
                appendRecord(out, fields);
            }
        }
    }
    return out;
}

void StatsCsvWriter::write(const QString& path, const std::vector<StatsView>& views)
{
    SavedFile::writeBytes(path, bytes(views));
}
