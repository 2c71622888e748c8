#include "reports/CsvTableWriter.h"

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

} // namespace

void CsvTableWriter::appendRecord(QByteArray& out, const QStringList& fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        out += field(fields[i]);
    }
    out += "\r\n";
}

QByteArray CsvTableWriter::bytes(const TeacherListTable& table)
{
    QByteArray out("\xEF\xBB\xBF");
    appendRecord(out, table.heading);
    QStringList fields;
    for (const TeacherListTable::Row& row : table.rows) {
        fields.clear();
        for (const TeacherListTable::Cell& cell : row)
            fields.push_back(TeacherListTable::text(cell));
        appendRecord(out, fields);
    }
    return out;
}

void CsvTableWriter::write(const QString& path, const TeacherListTable& table)
{
    SavedFile::writeBytes(path, bytes(table));
}
