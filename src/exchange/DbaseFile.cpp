#include "exchange/DbaseFile.h"

#include "exchange/ExchangeTableCollector.h"
#include "exchange/ExchangeTableSource.h"
#include "exchange/ExchangeValueText.h"
#include "exchange/GbkDecoder.h"
#include "exchange/NumberText.h"
#include "exchange/SequentialFileHooks.h"
#include "store/StoreFiles.h"

#include <QDir>
#include <QFile>

#include <shapefil.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

namespace DbaseFile {
namespace {

using ExchangeValueText::numberOf;
using ExchangeValueText::putGbk;
using ExchangeValueText::shown;

constexpr int FileHeader = 32;
constexpr int FieldHeader = 32;
constexpr int IntegerWidth = 11;
constexpr int SmallIntWidth = 6;
constexpr char EndOfFile = 0x1A;

[[noreturn]] void fail(const QString& why)
{
    throw ExchangeFileError(why);
}

[[noreturn]] void failToWrite(const QString& why)
{
    throw ExchangeFileError(why, ExchangeFileError::Kind::Io);
}

struct DbfCloser
{
    void operator()(DBFInfo* h) const { DBFClose(h); }
};
using DbfHandle = std::unique_ptr<DBFInfo, DbfCloser>;

// A text field: GBK, blank-padded. Padding would swallow the blanks a text ends in, so such a text
// is closed by a NUL (readers end a text at its first NUL); one that fills its field has no room
// for the NUL and is refused rather than shortened.
void putText(char* field, int width, const ExchangeValue& v, const QString& name)
{
    const int length = putGbk(field, width, v, name);
    if (length == 0 || field[length - 1] != ' ')
        return;
    if (length == width)
        throw ExchangeFileError::refusedValue(
            QStringLiteral(
                "%1: \"%2\" 以空格结尾，且占满了 dBASE 字段的全部 %3 个字节，写入 .dbf 文件会丢掉结尾的空格，"
                "不能导出。请改用 .dbt 格式，或修改这个名称。")
                .arg(name, shown(v))
                .arg(width));
    field[length] = '\0';
}

qint64 writeFile(const QString& path, const QList<ExchangeColumn>& columns, ExchangeRowSource& rows)
{
    const QByteArray native = QFile::encodeName(path);
    SAHooks hooks = SequentialFileHooks::hooks();
    DbfHandle dbf(DBFCreateLL(native.constData(), "LDID/77", &hooks));
    if (!dbf)
        failToWrite(QStringLiteral("cannot create %1").arg(path));
    QList<int> widths;
    for (const ExchangeColumn& c : columns) {
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
        case ExchangeColumn::Kind::Logical:
        case ExchangeColumn::Kind::Date:
        case ExchangeColumn::Kind::Memo:
        case ExchangeColumn::Kind::Other:
            fail(QStringLiteral("field %1 has no dBASE type").arg(c.name));
        }
        if (added < 0)
            failToWrite(QStringLiteral("cannot add field %1").arg(c.name));
    }

    // Each record is laid out here, blank-filled, and handed to shapelib whole.
    const int numFields = int(columns.size());
    QList<int> offsets;
    int recordLength = 1; // the deletion mark
    for (const int w : widths) {
        offsets << recordLength;
        recordLength += w;
    }
    QByteArray record(recordLength, ' ');
    qint64 written = 0;
    while (rows.next()) {
        if (written >= std::numeric_limits<int>::max())
            fail(QStringLiteral("too many rows for one dBASE table"));
        record.fill(' ');
        for (int i = 0; i < numFields; ++i) {
            const ExchangeColumn& c = columns[i];
            const ExchangeValue v = rows.value(i);
            char* field = record.data() + offsets[i];
            const int width = widths[i];
            if (v.type == ExchangeValue::Type::Null)
                continue; // blank text, or the format's blank number
            if (c.kind == ExchangeColumn::Kind::Text) {
                putText(field, width, v, c.name);
                continue;
            }
            char text[32];
            int length = 0;
            if (c.kind == ExchangeColumn::Kind::Number) {
                length = NumberText::shortestChars(numberOf(v, c.name), text);
            } else {
                qint64 value = v.integer;
                if (v.type != ExchangeValue::Type::Integer) {
                    // Range first: converting a double beyond 64 bits is undefined.
                    const double d = numberOf(v, c.name);
                    if (!(std::abs(d) < 9.2e18) || d != std::trunc(d))
                        fail(QStringLiteral("%1: %2 is not a whole number").arg(c.name, shown(v)));
                    value = qint64(d);
                }
                length = int(std::to_chars(text, text + sizeof text, value).ptr - text);
            }
            if (length > width)
                fail(QStringLiteral("%1: %2 is wider than %3 characters")
                         .arg(c.name, QString::fromLatin1(text, length))
                         .arg(width));
            std::memcpy(field + width - length, text, std::size_t(length)); // right-justified
        }
        if (!DBFWriteTuple(dbf.get(), int(written), record.data()))
            failToWrite(QStringLiteral("cannot write row %1").arg(written + 1));
        ++written;
    }
    // DBFClose reports no failure: the caller checks the written header against the file's size.
    dbf.reset();
    return written;
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
    const qint64 end = qint64(out.headerLength) + qint64(out.records) * out.recordLength;
    if (end > fileSize)
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
    // After the records only the end-of-file byte that dBASE writers add may follow: more bytes
    // would be records the header does not count, and reading only the counted ones would lose them.
    if (!file.seek(end))
        fail(file.errorString());
    if (const QByteArray tail = file.read(2); !tail.isEmpty() && tail != QByteArray(1, EndOfFile))
        fail(QStringLiteral("the file holds %1 bytes after its %2 records").arg(fileSize - end).arg(out.records));
    return out;
}

} // namespace

void write(const QString& path, const ExchangeTable& table)
{
    ExchangeTableSource rows(table);
    write(path, table.columns, rows);
}

void write(const QString& path, const QList<ExchangeColumn>& columns, ExchangeRowSource& rows)
{
    // shapelib names its file itself (it puts ".dbf" in place of any extension), so the table is
    // built under a temporary name ending in ".dbf" beside the destination and then renamed over it.
    const QString temp = StoreFiles::temporaryFor(path, QStringLiteral(".dbf"));
    try {
        const qint64 rowsWritten = writeFile(temp, columns, rows);
        const Header written = checkHeader(temp);
        if (written.records != rowsWritten || written.columns.size() != columns.size())
            failToWrite(QStringLiteral("the table was not written completely"));
    } catch (...) {
        // The failure to write is what the operator is told; a temporary that cannot be removed
        // either is only clutter beside the destination, which stays as it was.
        QFile::remove(temp);
        throw;
    }
    if (const std::optional<QString> failure = StoreFiles::moveOnto(temp, path))
        fail(*failure);
}

ExchangeTable read(const QString& path)
{
    ExchangeTableCollector table;
    read(path, table);
    return table.take();
}

void read(const QString& path, ExchangeRowSink& sink)
{
    const Header header = checkHeader(path);
    const QByteArray native = QFile::encodeName(path);
    SAHooks hooks = SequentialFileHooks::hooks();
    DbfHandle dbf(DBFOpenLL(native.constData(), "rb", &hooks));
    if (!dbf)
        fail(QStringLiteral("cannot open %1 as a dBASE table").arg(path));
    if (DBFGetFieldCount(dbf.get()) != header.columns.size() || DBFGetRecordCount(dbf.get()) != int(header.records))
        fail(QStringLiteral("the table's header is inconsistent"));

    sink.columns(header.columns);
    const int numFields = int(header.columns.size());
    std::vector<ExchangeValue> values(static_cast<std::size_t>(numFields));
    GbkDecoder decoder;
    for (int r = 0; r < int(header.records); ++r) {
        if (DBFIsRecordDeleted(dbf.get(), r))
            continue;
        const char* record = DBFReadTuple(dbf.get(), r);
        if (!record)
            fail(QStringLiteral("cannot read record %1").arg(r + 1));
        for (int i = 0; i < numFields; ++i) {
            const char* p = record + header.offsets[i];
            const int width = header.widths[i];
            ExchangeValue& v = values[std::size_t(i)];
            if (header.columns[i].kind == ExchangeColumn::Kind::Number) {
                std::string_view text(p, std::size_t(width));
                // Blanks and asterisks only: the format's blank number. (A plain loop: the field is
                // mostly padding, and find_first_not_of searches the set once per character.)
                std::size_t first = 0;
                while (first < text.size() && (text[first] == ' ' || text[first] == '*'))
                    ++first;
                if (first == text.size()) {
                    v = ExchangeValue::null();
                } else if (const auto value = NumberText::parse(text)) {
                    v = ExchangeValue::ofNumber(*value);
                } else {
                    fail(
                        QStringLiteral("field %1 of record %2 is not a number").arg(header.columns[i].name).arg(r + 1));
                }
                continue;
            }
            // Text ends at its first NUL, as a C string does; blanks before the NUL are the text's own.
            // Without a NUL the field's trailing blanks are padding.
            int len = width;
            if (const void* nul = std::memchr(p, '\0', std::size_t(width)))
                len = int(static_cast<const char*>(nul) - p);
            else
                while (len > 0 && p[len - 1] == ' ')
                    --len;
            const std::optional<std::string_view> text = decoder.utf8(p, len);
            if (!text)
                fail(QStringLiteral("field %1 of record %2 holds text that is not GBK")
                         .arg(header.columns[i].name)
                         .arg(r + 1));
            v = ExchangeValue::ofText(*text);
        }
        sink.row(values);
    }
}

} // namespace DbaseFile
