#include "DbaseFile.h"

#include "Gbk.h"
#include "GbkDecoder.h"
#include "NumberText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <shapefil.h>

#include <charconv>
#include <cstring>
#include <filesystem>
#include <memory>

namespace DbaseFile {
namespace {

constexpr int FileHeader = 32;
constexpr int FieldHeader = 32;
constexpr int IntegerWidth = 11;
constexpr int SmallIntWidth = 6;

[[noreturn]] void fail(const QString& why)
{
    throw ExchangeFileError(why);
}

struct DbfCloser
{
    void operator()(DBFInfo* h) const { DBFClose(h); }
};
using DbfHandle = std::unique_ptr<DBFInfo, DbfCloser>;

void writeFile(const QString& path, const ExchangeTable& table)
{
    const QByteArray native = QFile::encodeName(path);
    DbfHandle dbf(DBFCreateEx(native.constData(), "LDID/77"));
    if (!dbf)
        fail(QStringLiteral("cannot create %1").arg(path));
    QList<int> widths;
    for (const ExchangeColumn& c : table.columns) {
        const QByteArray name = c.name.toLatin1();
        if (name.size() > 10)
            fail(QStringLiteral("field name %1 longer than 10 characters").arg(c.name));
        int added = -1;
        switch (c.kind) {
        case ExchangeColumn::Kind::Integer:
            added = DBFAddField(dbf.get(), name.constData(), FTInteger, IntegerWidth, 0);
            widths << IntegerWidth;
            break;
        case ExchangeColumn::Kind::SmallInt:
            added = DBFAddField(dbf.get(), name.constData(), FTInteger, SmallIntWidth, 0);
            widths << SmallIntWidth;
            break;
        case ExchangeColumn::Kind::Number:
            added = DBFAddField(dbf.get(), name.constData(), FTDouble, NumberWidth, 15);
            widths << NumberWidth;
            break;
        case ExchangeColumn::Kind::Text:
            added = DBFAddField(dbf.get(), name.constData(), FTString, c.width, 0);
            widths << c.width;
            break;
        case ExchangeColumn::Kind::Other:
            fail(QStringLiteral("field %1 has no dBASE type").arg(c.name));
        }
        if (added < 0)
            fail(QStringLiteral("cannot add field %1").arg(c.name));
    }

    // Each record is laid out here, blank-filled, and handed to shapelib whole.
    const int numFields = int(table.columns.size());
    QList<int> offsets;
    int recordLength = 1; // the deletion mark
    for (const int w : widths) {
        offsets << recordLength;
        recordLength += w;
    }
    QByteArray record(recordLength, ' ');
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const QVariantList& row = table.rows[r];
        if (row.size() != numFields)
            fail(QStringLiteral("row %1 has %2 values for %3 fields").arg(r + 1).arg(row.size()).arg(numFields));
        record.fill(' ');
        for (int i = 0; i < numFields; ++i) {
            const ExchangeColumn& c = table.columns[i];
            const QVariant& v = row[i];
            char* field = record.data() + offsets[i];
            const int width = widths[i];
            if (!v.isValid() || v.isNull())
                continue; // blank text, or the format's blank number
            if (c.kind == ExchangeColumn::Kind::Text) {
                const std::optional<QByteArray> gbk = Gbk::encode(v.toString());
                if (!gbk)
                    fail(QStringLiteral("%1: text without a GBK form").arg(c.name));
                if (gbk->size() > width)
                    fail(QStringLiteral("%1: \"%2\" is longer than %3 bytes").arg(c.name, v.toString()).arg(width));
                std::memcpy(field, gbk->constData(), std::size_t(gbk->size()));
                continue;
            }
            char text[32];
            int length = 0;
            if (c.kind == ExchangeColumn::Kind::Number) {
                length = NumberText::shortestChars(v.toDouble(), text);
            } else {
                const qint64 value = v.toLongLong();
                if (v.toDouble() != double(value))
                    fail(QStringLiteral("%1: %2 is not a whole number").arg(c.name, v.toString()));
                length = int(std::to_chars(text, text + sizeof text, value).ptr - text);
            }
            if (length > width)
                fail(QStringLiteral("%1: %2 is wider than %3 characters")
                         .arg(c.name, QString::fromLatin1(text, length))
                         .arg(width));
            std::memcpy(field + width - length, text, std::size_t(length)); // right-justified
        }
        if (!DBFWriteTuple(dbf.get(), int(r), record.data()))
            fail(QStringLiteral("cannot write row %1").arg(r + 1));
    }
    // DBFClose reports no failure: the caller checks the written header against the file's size.
    dbf.reset();
}

struct Header
{
    quint32 records = 0;
    int headerLength = 0;
    int recordLength = 0;
    QList<ExchangeColumn> columns;
    QList<int> offsets;
    QList<int> widths;
    QList<char> types;
};

quint16 le16(const uchar* p)
{
    return quint16(p[0] | (p[1] << 8));
}

Header checkHeader(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(file.errorString());
    const qint64 fileSize = file.size();
    const QByteArray head = file.read(FileHeader);
    if (head.size() < FileHeader)
        fail(QStringLiteral("file shorter than a dBASE header"));
    const auto* h = reinterpret_cast<const uchar*>(head.constData());
    if ((h[0] & 0x07) != 0x03)
        fail(QStringLiteral("not a dBASE III table (version byte %1)").arg(h[0]));
    Header out;
    out.records = quint32(h[4]) | (quint32(h[5]) << 8) | (quint32(h[6]) << 16) | (quint32(h[7]) << 24);
    out.headerLength = le16(h + 8);
    out.recordLength = le16(h + 10);
    if (out.headerLength < FileHeader + FieldHeader + 1 || out.headerLength > fileSize)
        fail(QStringLiteral("header length %1 does not fit the file").arg(out.headerLength));
    if (out.recordLength < 2)
        fail(QStringLiteral("record length %1 out of range").arg(out.recordLength));
    if (qint64(out.headerLength) + qint64(out.records) * out.recordLength > fileSize)
        fail(QStringLiteral("%1 records of %2 bytes do not fit the file").arg(out.records).arg(out.recordLength));

    const QByteArray fields = file.read(out.headerLength - FileHeader);
    const auto* f = reinterpret_cast<const uchar*>(fields.constData());
    const int descriptorSlots = (out.headerLength - FileHeader) / FieldHeader;
    int offset = 1; // the deletion mark
    for (int i = 0; i < descriptorSlots; ++i) {
        const uchar* d = f + i * FieldHeader;
        if (d[0] == 0x0D)
            break;
        int len = 0;
        while (len < 11 && d[len] != 0)
            ++len;
        const char type = char(d[11]);
        const int width = type == 'C' ? d[16] + 256 * d[17] : d[16];
        if (len == 0 || width < 1)
            fail(QStringLiteral("field %1 is malformed").arg(i + 1));
        ExchangeColumn c;
        c.name = QString::fromLatin1(reinterpret_cast<const char*>(d), len);
        c.width = width;
        c.kind = (type == 'N' || type == 'F') ? ExchangeColumn::Kind::Number
                 : type == 'C'                ? ExchangeColumn::Kind::Text
                                              : ExchangeColumn::Kind::Other;
        out.columns << c;
        out.offsets << offset;
        out.widths << width;
        out.types << type;
        offset += width;
    }
    if (out.columns.isEmpty())
        fail(QStringLiteral("no fields"));
    if (offset != out.recordLength)
        fail(QStringLiteral("fields take %1 bytes but records %2").arg(offset).arg(out.recordLength));
    return out;
}

} // namespace

void write(const QString& path, const ExchangeTable& table)
{
    // shapelib names its file itself (it puts ".dbf" in place of any extension), so the table is
    // built under a temporary name ending in ".dbf" beside the destination and then renamed over it.
    const QFileInfo target(path);
    const QString temp = target.absolutePath() + QStringLiteral("/.%1.%2.dbf")
                                                     .arg(target.fileName())
                                                     .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
    try {
        writeFile(temp, table);
        const Header written = checkHeader(temp);
        if (written.records != table.rows.size() || written.columns.size() != table.columns.size())
            fail(QStringLiteral("the table was not written completely"));
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(temp).toStdString()),
                            std::filesystem::path(QFile::encodeName(path).toStdString()), error);
    if (error) {
        QFile::remove(temp);
        fail(QString::fromLocal8Bit(error.message().c_str()));
    }
}

ExchangeTable read(const QString& path)
{
    const Header header = checkHeader(path);
    const QByteArray native = QFile::encodeName(path);
    DbfHandle dbf(DBFOpen(native.constData(), "rb"));
    if (!dbf)
        fail(QStringLiteral("cannot open %1 as a dBASE table").arg(path));
    if (DBFGetFieldCount(dbf.get()) != header.columns.size() || DBFGetRecordCount(dbf.get()) != int(header.records))
        fail(QStringLiteral("the table's header is inconsistent"));

    ExchangeTable table;
    table.columns = header.columns;
    table.rows.reserve(header.records);
    const int numFields = int(header.columns.size());
    GbkDecoder decoder;
    for (int r = 0; r < int(header.records); ++r) {
        if (DBFIsRecordDeleted(dbf.get(), r))
            continue;
        const char* record = DBFReadTuple(dbf.get(), r);
        if (!record)
            fail(QStringLiteral("cannot read record %1").arg(r + 1));
        QVariantList row;
        row.reserve(numFields);
        for (int i = 0; i < numFields; ++i) {
            const char* p = record + header.offsets[i];
            const int width = header.widths[i];
            if (table.columns[i].kind == ExchangeColumn::Kind::Number) {
                std::string_view text(p, std::size_t(width));
                if (text.find_first_not_of(" *") == std::string_view::npos) {
                    row << QVariant();
                } else if (const auto value = NumberText::parse(text)) {
                    row << QVariant(*value);
                } else {
                    fail(QStringLiteral("field %1 of record %2 is not a number").arg(table.columns[i].name).arg(r + 1));
                }
                continue;
            }
            int len = width;
            while (len > 0 && (p[len - 1] == ' ' || p[len - 1] == '\0'))
                --len;
            const std::optional<QString> text = decoder.decode(p, len);
            if (!text)
                fail(QStringLiteral("field %1 of record %2 holds text that is not GBK")
                         .arg(table.columns[i].name)
                         .arg(r + 1));
            row << QVariant(*text);
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

} // namespace DbaseFile
