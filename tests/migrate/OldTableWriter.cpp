#include "OldTableWriter.h"

#include "store/Gbk.h"
#include "store/StoreSchema.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>

extern "C" {
#include <paradox.h>
}

#include <stdexcept>
#include <vector>

namespace {

// Day 1 of a Paradox date is 1 January of the year 1.
constexpr qint64 JulianDayBeforeDayOne = 1721425;

void put(pxdoc_t* px, char* p, const OldTableWriter::Field& f, const QVariant& v)
{
    if (!v.isValid())
        return; // the record is zero-filled: blank
    switch (f.type) {
    case pxfAlpha: {
        QByteArray text = *Gbk::encode(v.toString());
        PX_put_data_alpha(px, p, f.size, text.data());
        break;
    }
    case pxfMemoBLOb:
    case pxfFmtMemoBLOb: {
        QByteArray text = *Gbk::encode(v.toString());
        if (PX_put_data_blob(px, p, f.size, text.data(), int(text.size())) < 0)
            throw std::runtime_error("pxlib cannot write the memo");
        break;
    }
    case pxfNumber:
    case pxfCurrency:
        PX_put_data_double(px, p, 8, v.toDouble());
        break;
    case pxfShort:
        PX_put_data_short(px, p, 2, short(v.toInt()));
        break;
    case pxfLong:
        PX_put_data_long(px, p, 4, v.toInt());
        break;
    case pxfLogical:
        PX_put_data_byte(px, p, 1, v.toBool() ? 1 : 0);
        break;
    case pxfDate:
        PX_put_data_long(px, p, 4, int(v.toDate().toJulianDay() - JulianDayBeforeDayOne));
        break;
    default:
        throw std::runtime_error("field type the writer does not take");
    }
}

} // namespace

void OldTableWriter::write(const QString& path, const QList<Field>& fields, const QList<QVariantList>& rows,
                           const QString& memoPath)
{
    qsizetype at = 0;
    write(
        path, fields,
        [&](QVariantList& row) {
            if (at == rows.size())
                return false;
            row = rows[at++];
            return true;
        },
        memoPath);
}

void OldTableWriter::write(const QString& path, const QList<Field>& fields,
                           const std::function<bool(QVariantList&)>& next, const QString& memoPath)
{
    QFile::remove(path);
    pxdoc_t* px = PX_new();
    auto* defs = static_cast<pxfield_t*>(px->malloc(px, sizeof(pxfield_t) * std::size_t(fields.size()), "fields"));
    for (int i = 0; i < fields.size(); ++i) {
        defs[i].px_fname = PX_strdup(px, fields[i].name.toLatin1().constData());
        defs[i].px_ftype = fields[i].type;
        defs[i].px_flen = fields[i].size;
        defs[i].px_fdc = 0;
    }
    if (PX_create_file(px, defs, int(fields.size()), QFile::encodeName(path).constData(), pxfFileTypNonIndexDB) < 0)
        throw std::runtime_error("pxlib cannot create the table");
    px->px_head->px_doscodepage = 936;
    // Setting the table's name writes the header again, with the code page (also for a table
    // without records, whose header is not written again).
    if (PX_set_parameter(px, "tablename", QFile::encodeName(QFileInfo(path).completeBaseName()).constData()) < 0)
        throw std::runtime_error("pxlib cannot name the table");
    if (!memoPath.isEmpty()) {
        QFile::remove(memoPath);
        pxblob_t* blob = PX_new_blob(px);
        if (PX_create_blob_file(blob, QFile::encodeName(memoPath).constData()) < 0)
            throw std::runtime_error("pxlib cannot create the memo file");
    }
    std::vector<char> record(std::size_t(PX_get_recordsize(px)));
    QVariantList row;
    while (next(row)) {
        std::fill(record.begin(), record.end(), 0);
        char* p = record.data();
        for (int i = 0; i < fields.size(); ++i) {
            put(px, p, fields[i], row.value(i));
            p += fields[i].size;
        }
        if (PX_put_record(px, record.data()) < 0)
            throw std::runtime_error("pxlib cannot write a record");
    }
    PX_close(px);
    PX_delete(px);
}

QList<OldTableWriter::Field> OldTableWriter::fieldsOf(const QString& table)
{
    QList<Field> fields;
    for (const StoreSchema::ColumnDef& c : StoreSchema::tableColumns(table)) {
        const QString name = QString::fromLatin1(c.name);
        switch (c.type) {
        case StoreSchema::ColumnType::Integer:
            fields << Field{name, pxfLong, 4};
            break;
        case StoreSchema::ColumnType::SmallInt:
            fields << Field{name, pxfShort, 2};
            break;
        case StoreSchema::ColumnType::Number:
            fields << Field{name, pxfNumber, 8};
            break;
        case StoreSchema::ColumnType::Logical:
            fields << Field{name, pxfLogical, 1};
            break;
        case StoreSchema::ColumnType::Text:
            fields << Field{name, pxfAlpha, c.width};
            break;
        }
    }
    return fields;
}
