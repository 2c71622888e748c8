#include "exchange/ParadoxFile.h"

#include "exchange/ExchangeTableCollector.h"
#include "exchange/ExchangeTableSource.h"
#include "exchange/ExchangeValueText.h"
#include "store/Gbk.h"
#include "exchange/GbkDecoder.h"
#include "exchange/NumberText.h"

#include <QFile>
#include <QSaveFile>

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>

namespace ParadoxFile {
namespace {

using ExchangeValueText::numberOf;
using ExchangeValueText::shown;
using ExchangeValueText::textOf;

// Field type codes of the table header.
enum : quint8
{
    Alpha = 0x01,
    Date = 0x02,
    Short = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Number = 0x06,
    Logical = 0x09,
    Time = 0x14,
    Timestamp = 0x15,
    AutoInc = 0x16,
    Bcd = 0x17,
};

constexpr int HeaderSize = 0x0800;
constexpr int BlockSizeCode = 4; // 4096-byte data blocks
constexpr int BlockSize = BlockSizeCode * 1024;
constexpr int BlockHeader = 6;
constexpr quint8 Version7 = 0x0C;
constexpr int TableNameLength7 = 261;
constexpr int TableNameLengthOld = 79;
constexpr quint16 CodePageGbk = 936;

void putLe16(QByteArray& b, int at, quint16 v)
{
    b[at] = char(v & 0xff);
    b[at + 1] = char(v >> 8);
}

void putLe32(QByteArray& b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xff);
}

quint16 le16(const uchar* p)
{
    return quint16(p[0] | (p[1] << 8));
}

quint32 le32(const uchar* p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

// Numbers are stored high byte first with the sign bit inverted, so that the bytes sort as the
// numbers do; negative doubles have every bit inverted. All zero bytes are the blank value.
void putInteger(char* out, qint64 value, int size)
{
    const quint64 bias = quint64(1) << (8 * size - 1);
    const quint64 v = (quint64(value) ^ bias) & (size == 8 ? ~quint64(0) : ((quint64(1) << (8 * size)) - 1));
    for (int i = 0; i < size; ++i)
        out[i] = char((v >> (8 * (size - 1 - i))) & 0xff);
}

void putDouble(char* out, double value)
{
    quint64 bits = std::bit_cast<quint64>(value);
    bits = (bits & (quint64(1) << 63)) ? ~bits : (bits | (quint64(1) << 63));
    for (int i = 0; i < 8; ++i)
        out[i] = char((bits >> (8 * (7 - i))) & 0xff);
}

bool isBlank(const uchar* p, int size)
{
    for (int i = 0; i < size; ++i)
        if (p[i] != 0)
            return false;
    return true;
}

ExchangeValue getInteger(const uchar* p, int size)
{
    if (isBlank(p, size))
        return ExchangeValue::null();
    quint64 v = 0;
    for (int i = 0; i < size; ++i)
        v = (v << 8) | p[i];
    v ^= quint64(1) << (8 * size - 1);
    const int shift = 64 - 8 * size; // sign-extend
    return ExchangeValue::ofInteger(qint64(v << shift) >> shift);
}

ExchangeValue getDouble(const uchar* p)
{
    if (isBlank(p, 8))
        return ExchangeValue::null();
    quint64 bits = 0;
    for (int i = 0; i < 8; ++i)
        bits = (bits << 8) | p[i];
    bits = (bits & (quint64(1) << 63)) ? (bits & ~(quint64(1) << 63)) : ~bits;
    return ExchangeValue::ofNumber(std::bit_cast<double>(bits));
}

struct FieldLayout
{
    quint8 type;
    int size;
};

// The size a field type must have, or 0 when the type has a variable size.
int fixedSize(quint8 type)
{
    switch (type) {
    case Short:
        return 2;
    case Long:
    case Date:
    case Time:
    case AutoInc:
        return 4;
    case Currency:
    case Number:
    case Timestamp:
        return 8;
    case Logical:
        return 1;
    case Bcd:
        return 17;
    default:
        return 0;
    }
}

[[noreturn]] void fail(const QString& why)
{
    throw ExchangeFileError(why);
}

// A text field: GBK, zero-padded (the block is zero-filled already).
void putText(char* out, int size, const ExchangeValue& v, const QString& name)
{
    char digits[32];
    const long long length = Gbk::encodeInto(textOf(v, digits), out, size);
    if (length < 0)
        fail(QStringLiteral("%1: text without a GBK form").arg(name));
    if (length > size)
        fail(QStringLiteral("%1: \"%2\" is longer than %3 bytes").arg(name, shown(v)).arg(size));
}

// The lowest value of each integer type is its blank, so the range is symmetric.
qint64 integerOf(const ExchangeValue& v, qint64 limit, const QString& name)
{
    qint64 value = v.integer;
    if (v.type != ExchangeValue::Type::Integer) {
        const double d = numberOf(v, name);
        if (!(d >= -double(limit) && d <= double(limit)) || d != double(qint64(d)))
            fail(QStringLiteral("%1: %2 does not fit the field").arg(name, shown(v)));
        value = qint64(d);
    }
    if (value > limit || value < -limit)
        fail(QStringLiteral("%1: %2 does not fit the field").arg(name, shown(v)));
    return value;
}

} // namespace

void write(const QString& path, const ExchangeTable& table)
{
    ExchangeTableSource rows(table);
    write(path, table.columns, rows);
}

void write(const QString& path, const QList<ExchangeColumn>& columns, ExchangeRowSource& rows)
{
    const int numFields = int(columns.size());
    if (numFields < 1 || numFields > 255)
        fail(QStringLiteral("a Paradox table holds 1 to 255 fields"));

    QList<FieldLayout> layout;
    int recordSize = 0;
    for (const ExchangeColumn& c : columns) {
        FieldLayout f{};
        switch (c.kind) {
        case ExchangeColumn::Kind::Integer:
            f = {Long, 4};
            break;
        case ExchangeColumn::Kind::SmallInt:
            f = {Short, 2};
            break;
        case ExchangeColumn::Kind::Number:
            f = {Number, 8};
            break;
        case ExchangeColumn::Kind::Text:
            if (c.width < 1 || c.width > 255)
                fail(QStringLiteral("text field %1 must be 1 to 255 bytes wide").arg(c.name));
            f = {Alpha, c.width};
            break;
        case ExchangeColumn::Kind::Other:
            fail(QStringLiteral("field %1 has no Paradox type").arg(c.name));
        }
        layout << f;
        recordSize += f.size;
    }
    const int perBlock = (BlockSize - BlockHeader) / recordSize;
    if (perBlock < 1)
        fail(QStringLiteral("records too long for a data block"));

    QByteArray header(HeaderSize, '\0');
    int at = 0x78;
    for (const FieldLayout& f : layout) {
        header[at++] = char(f.type);
        header[at++] = char(f.size);
    }
    at += 4 + 4 * numFields; // table name pointer and field name pointers: run-time only
    const QByteArray tableName = QByteArrayLiteral("bt");
    std::memcpy(header.data() + at, tableName.constData(), std::size_t(tableName.size()));
    at += TableNameLength7;
    for (const ExchangeColumn& c : columns) {
        const QByteArray name = c.name.toLatin1();
        if (at + name.size() + 1 > HeaderSize - 2 * numFields - 8)
            fail(QStringLiteral("field names too long for the table header"));
        std::memcpy(header.data() + at, name.constData(), std::size_t(name.size()));
        at += int(name.size()) + 1;
    }
    for (int i = 0; i < numFields; ++i, at += 2)
        putLe16(header, at, quint16(i + 1));
    std::memcpy(header.data() + at, "ascii", 5);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    // The counts of the header are known at the end: it is written once as a place holder and
    // again when the blocks are out.
    if (file.write(header) != HeaderSize)
        fail(file.errorString());

    // A block is written when the next one is begun (its pointer to the next block depends on
    // whether more rows follow) or at the end.
    QByteArray block(BlockSize, '\0');
    qint64 numRecords = 0;
    qint64 blocks = 0;
    int count = 0;
    const auto flush = [&](bool last) {
        putLe16(block, 0, last ? 0 : quint16(blocks + 2));
        putLe16(block, 2, quint16(blocks));
        putLe16(block, 4, quint16((count - 1) * recordSize));
        if (file.write(block) != BlockSize)
            fail(file.errorString());
        ++blocks;
        block.fill('\0');
        count = 0;
    };
    while (rows.next()) {
        if (count == perBlock) {
            if (blocks + 1 >= 0xffff)
                fail(QStringLiteral("too many rows for one Paradox table"));
            flush(false);
        }
        char* p = block.data() + BlockHeader + count * recordSize;
        for (int i = 0; i < numFields; ++i) {
            const ExchangeValue v = rows.value(i);
            const FieldLayout& f = layout[i];
            const QString& name = columns[i].name;
            if (v.type != ExchangeValue::Type::Null) {
                if (f.type == Alpha)
                    putText(p, f.size, v, name);
                else if (f.type == Number)
                    putDouble(p, numberOf(v, name));
                else
                    putInteger(p, integerOf(v, f.size == 2 ? 32767 : std::numeric_limits<qint32>::max(), name), f.size);
            }
            p += f.size;
        }
        ++count;
        ++numRecords;
    }
    if (count > 0)
        flush(true);

    putLe16(header, 0x00, quint16(recordSize));
    putLe16(header, 0x02, HeaderSize);
    header[0x04] = char(2); // non-indexed data file
    header[0x05] = char(BlockSizeCode);
    putLe32(header, 0x06, quint32(numRecords));
    putLe16(header, 0x0A, quint16(blocks));
    putLe16(header, 0x0C, quint16(blocks));
    putLe16(header, 0x0E, blocks > 0 ? 1 : 0);
    putLe16(header, 0x10, quint16(blocks));
    putLe16(header, 0x21, quint16(numFields));
    putLe32(header, 0x25, 0xff00ff00u); // encryption moved to 0x5C in version 4 and later
    header[0x39] = char(Version7);
    putLe16(header, 0x3A, quint16(blocks));
    putLe16(header, 0x58, 0x0100 | Version7);
    putLe16(header, 0x5A, 0x0100 | Version7);
    putLe16(header, 0x64, quint16(numFields + 1));
    putLe16(header, 0x6A, CodePageGbk);
    if (!file.seek(0) || file.write(header) != HeaderSize)
        fail(file.errorString());
    if (!file.commit())
        fail(file.errorString());
}

ExchangeTable read(const QString& path)
{
    ExchangeTableCollector table;
    read(path, table);
    return table.take();
}

ExchangeTable parse(const QByteArray& bytes)
{
    ExchangeTableCollector table;
    parse(bytes, table);
    return table.take();
}

void read(const QString& path, ExchangeRowSink& sink)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(file.errorString());
    parse(file.readAll(), sink);
}

void parse(const QByteArray& bytes, ExchangeRowSink& sink)
{
    const qint64 fileSize = bytes.size();
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    if (fileSize < 0x78)
        fail(QStringLiteral("file shorter than a Paradox header"));

    const int recordSize = le16(d + 0x00);
    const int headerSize = le16(d + 0x02);
    const int fileType = d[0x04];
    const int blockCode = d[0x05];
    const quint32 numRecords = le32(d + 0x06);
    const int firstBlock = le16(d + 0x0E);
    const int numFields = le16(d + 0x21);
    const int version = d[0x39];

    if (fileType != 0 && fileType != 2)
        fail(QStringLiteral("not a Paradox table data file"));
    if (version < 3 || version > Version7)
        fail(QStringLiteral("unknown Paradox version %1").arg(version));
    const bool v4 = version >= 5;
    const int fieldInfo = v4 ? 0x78 : 0x58;
    const quint32 encryption = v4 ? le32(d + 0x5C) : le32(d + 0x25);
    if (encryption != 0)
        fail(QStringLiteral("encrypted table"));
    if (blockCode != 1 && blockCode != 2 && blockCode != 3 && blockCode != 4 && blockCode != 8 && blockCode != 16 &&
        blockCode != 32)
        fail(QStringLiteral("unknown block size code %1").arg(blockCode));
    const int blockSize = blockCode * 1024;
    if (numFields < 1 || numFields > 255)
        fail(QStringLiteral("field count %1 out of range").arg(numFields));
    if (headerSize < fieldInfo + 2 * numFields || headerSize > fileSize)
        fail(QStringLiteral("header size %1 does not fit the file").arg(headerSize));
    if (recordSize < 1 || recordSize > blockSize - BlockHeader)
        fail(QStringLiteral("record size %1 out of range").arg(recordSize));

    QList<FieldLayout> layout;
    int sum = 0;
    for (int i = 0; i < numFields; ++i) {
        const FieldLayout f{d[fieldInfo + 2 * i], d[fieldInfo + 2 * i + 1]};
        const int fixed = fixedSize(f.type);
        const int size = f.type == Bcd ? 17 : f.size;
        if (size < 1 || (fixed != 0 && size != fixed))
            fail(QStringLiteral("field %1 has type %2 and size %3").arg(i + 1).arg(f.type).arg(f.size));
        layout << FieldLayout{f.type, size};
        sum += size;
    }
    if (sum != recordSize)
        fail(QStringLiteral("fields take %1 bytes but records %2").arg(sum).arg(recordSize));

    // Field names follow the field descriptors, two run-time pointers per field and the table name.
    const int tableNameLength = version >= Version7 ? TableNameLength7 : TableNameLengthOld;
    int at = fieldInfo + 2 * numFields + 4 + 4 * numFields + tableNameLength;
    QList<ExchangeColumn> columns;
    for (int i = 0; i < numFields; ++i) {
        const int start = at;
        while (at < headerSize && d[at] != 0)
            ++at;
        if (at >= headerSize)
            fail(QStringLiteral("field names run past the header"));
        const QByteArray raw(reinterpret_cast<const char*>(d + start), at - start);
        ++at;
        ExchangeColumn c;
        c.name = Gbk::decode(raw).value_or(QString::fromLatin1(raw));
        switch (layout[i].type) {
        case Alpha:
            c.kind = ExchangeColumn::Kind::Text;
            c.width = layout[i].size;
            break;
        case Short:
            c.kind = ExchangeColumn::Kind::SmallInt;
            break;
        case Long:
        case AutoInc:
            c.kind = ExchangeColumn::Kind::Integer;
            break;
        case Number:
        case Currency:
            c.kind = ExchangeColumn::Kind::Number;
            break;
        default:
            c.kind = ExchangeColumn::Kind::Other;
            break;
        }
        columns << c;
    }

    const qint64 blocksInFile = (fileSize - headerSize) / blockSize;
    const int perBlock = (blockSize - BlockHeader) / recordSize;
    if (qint64(numRecords) > blocksInFile * perBlock)
        fail(QStringLiteral("%1 records cannot fit in %2 blocks").arg(numRecords).arg(blocksInFile));
    sink.columns(columns);
    GbkDecoder decoder;
    std::vector<ExchangeValue> values(static_cast<std::size_t>(numFields));
    quint32 seenRecords = 0;

    // Walk the chain of data blocks from the first; each block is visited at most once.
    std::vector<bool> seen(std::size_t(blocksInFile) + 1, false);
    int blockNumber = numRecords == 0 ? 0 : firstBlock;
    while (blockNumber != 0) {
        if (blockNumber < 1 || blockNumber > blocksInFile || seen[std::size_t(blockNumber)])
            fail(QStringLiteral("broken block chain at block %1").arg(blockNumber));
        seen[std::size_t(blockNumber)] = true;
        const uchar* block = d + headerSize + qint64(blockNumber - 1) * blockSize;
        const int next = le16(block);
        const int addDataSize = qint16(le16(block + 4));
        if (addDataSize >= 0) {
            if (addDataSize % recordSize != 0 || addDataSize + recordSize > blockSize - BlockHeader)
                fail(QStringLiteral("block %1 claims %2 bytes of records").arg(blockNumber).arg(addDataSize));
            const int count = addDataSize / recordSize + 1;
            if (qint64(seenRecords) + count > qint64(numRecords))
                fail(QStringLiteral("more records than the header's %1").arg(numRecords));
            const uchar* rec = block + BlockHeader;
            for (int r = 0; r < count; ++r, rec += recordSize) {
                const uchar* p = rec;
                for (int i = 0; i < numFields; ++i) {
                    const FieldLayout& f = layout[i];
                    ExchangeValue& v = values[std::size_t(i)];
                    switch (f.type) {
                    case Alpha: {
                        int len = 0;
                        while (len < f.size && p[len] != 0)
                            ++len;
                        const std::optional<std::string_view> text =
                            decoder.utf8(reinterpret_cast<const char*>(p), len);
                        if (!text)
                            fail(QStringLiteral("field %1 holds text that is not GBK").arg(columns[i].name));
                        v = ExchangeValue::ofText(*text);
                        break;
                    }
                    case Short:
                    case Long:
                    case AutoInc:
                        v = getInteger(p, f.size);
                        break;
                    case Number:
                    case Currency:
                        v = getDouble(p);
                        break;
                    default:
                        v = ExchangeValue::null();
                        break;
                    }
                    p += f.size;
                }
                sink.row(values);
                ++seenRecords;
            }
        }
        blockNumber = next;
    }
    if (seenRecords != numRecords)
        fail(QStringLiteral("the header counts %1 records, the blocks hold %2").arg(numRecords).arg(seenRecords));
}

} // namespace ParadoxFile
