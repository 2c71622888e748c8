#include "exchange/ParadoxFile.h"

#include "exchange/ExchangeTableCollector.h"
#include "exchange/ExchangeTableSource.h"
#include "exchange/ExchangeValueText.h"
#include "exchange/GbkDecoder.h"
#include "exchange/NumberText.h"
#include "exchange/ParadoxFormat.h"
#include "store/Gbk.h"
#include "store/StoreFiles.h"

#include <QFile>
#include <QSaveFile>

#include <cmath>
#include <cstring>
#include <limits>

namespace ParadoxFile {
namespace {

using ExchangeValueText::numberOf;
using ExchangeValueText::putGbk;
using ExchangeValueText::shown;
using namespace ParadoxFormat;

[[noreturn]] void fail(const QString& why)
{
    throw ExchangeFileError(why);
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

// The fields' types and sizes, the record's size and how many records a data block holds.
struct TableLayout
{
    QList<FieldLayout> fields;
    int recordSize = 0;
    int perBlock = 0;
};

FieldLayout fieldOf(const ExchangeColumn& c)
{
    switch (c.kind) {
    case ExchangeColumn::Kind::Integer:
        return {Long, 4};
    case ExchangeColumn::Kind::SmallInt:
        return {Short, 2};
    case ExchangeColumn::Kind::Number:
        return {Number, 8};
    case ExchangeColumn::Kind::Text:
        if (c.width < 1 || c.width > 255)
            fail(QStringLiteral("text field %1 must be 1 to 255 bytes wide").arg(c.name));
        return {Alpha, c.width};
    case ExchangeColumn::Kind::Other:
        break;
    }
    fail(QStringLiteral("field %1 has no Paradox type").arg(c.name));
}

TableLayout layOut(const QList<ExchangeColumn>& columns)
{
    if (columns.size() < 1 || columns.size() > 255)
        fail(QStringLiteral("a Paradox table holds 1 to 255 fields"));
    TableLayout table;
    for (const ExchangeColumn& c : columns) {
        table.fields << fieldOf(c);
        table.recordSize += table.fields.back().size;
    }
    table.perBlock = (BlockSize - BlockHeader) / table.recordSize;
    if (table.perBlock < 1)
        fail(QStringLiteral("records too long for a data block"));
    return table;
}

// The header with the field types, the table's and the fields' names; the counts follow at the end.
QByteArray headerOf(const QList<ExchangeColumn>& columns, const TableLayout& table)
{
    const int numFields = int(columns.size());
    QByteArray header(HeaderSize, '\0');
    int at = 0x78;
    for (const FieldLayout& f : table.fields) {
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
    return header;
}

// The counts of the header, known once the blocks are out.
void putCounts(QByteArray& header, const TableLayout& table, qint64 numRecords, qint64 blocks)
{
    const int numFields = int(table.fields.size());
    putLe16(header, 0x00, quint16(table.recordSize));
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
}

// The source's current row as one record at `p` (zero-filled: a null stays blank).
void putRecord(char* p, const TableLayout& table, const QList<ExchangeColumn>& columns, const ExchangeRowSource& rows)
{
    for (int i = 0; i < table.fields.size(); ++i) {
        const ExchangeValue v = rows.value(i);
        const FieldLayout& f = table.fields[i];
        const QString& name = columns[i].name;
        if (v.type != ExchangeValue::Type::Null) {
            if (f.type == Alpha) // zero-padded: the block is zero-filled already
                putGbk(p, f.size, v, name);
            else if (f.type == Number)
                putDouble(p, numberOf(v, name));
            else
                putInteger(p, integerOf(v, f.size == 2 ? 32767 : std::numeric_limits<qint32>::max(), name), f.size);
        }
        p += f.size;
    }
}

// The data blocks, written one after the other behind the header. A block is written when the
// next one is begun (its pointer to the next block depends on whether more rows follow) or at
// the end.
class BlockWriter
{
public:
    BlockWriter(QSaveFile& file, const TableLayout& table) : m_file(file), m_table(table), m_block(BlockSize, '\0') {}

    // Where the next record goes.
    char* nextRecord()
    {
        if (m_count == m_table.perBlock) {
            if (m_blocks + 1 >= 0xffff)
                fail(QStringLiteral("too many rows for one Paradox table"));
            flush(false);
        }
        ++m_records;
        return m_block.data() + BlockHeader + m_count++ * m_table.recordSize;
    }
    void finish()
    {
        if (m_count > 0)
            flush(true);
    }
    qint64 records() const { return m_records; }
    qint64 blocks() const { return m_blocks; }

private:
    void flush(bool last)
    {
        putLe16(m_block, 0, last ? 0 : quint16(m_blocks + 2));
        putLe16(m_block, 2, quint16(m_blocks));
        putLe16(m_block, 4, quint16((m_count - 1) * m_table.recordSize));
        if (m_file.write(m_block) != BlockSize)
            fail(m_file.errorString());
        ++m_blocks;
        m_block.fill('\0');
        m_count = 0;
    }

    QSaveFile& m_file;
    const TableLayout& m_table;
    QByteArray m_block;
    int m_count = 0;
    qint64 m_records = 0;
    qint64 m_blocks = 0;
};

} // namespace

void write(const QString& path, const ExchangeTable& table)
{
    ExchangeTableSource rows(table);
    write(path, table.columns, rows);
}

void write(const QString& path, const QList<ExchangeColumn>& columns, ExchangeRowSource& rows)
{
    const TableLayout table = layOut(columns);
    QByteArray header = headerOf(columns, table);

    // The save file's own temporary name would add to the destination's, which may be as long as a
    // name can be: it saves under a short name beside the destination, renamed onto it at the end.
    const QString saved = StoreFiles::temporaryFor(path, QStringLiteral(".dbt"));
    QSaveFile file(saved);
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    // The counts of the header are known at the end: it is written once as a place holder and
    // again when the blocks are out.
    if (file.write(header) != HeaderSize)
        fail(file.errorString());
    BlockWriter blocks(file, table);
    while (rows.next())
        putRecord(blocks.nextRecord(), table, columns, rows);
    blocks.finish();

    putCounts(header, table, blocks.records(), blocks.blocks());
    if (!file.seek(0) || file.write(header) != HeaderSize)
        fail(file.errorString());
    if (!file.commit())
        fail(file.errorString());
    if (const std::optional<QString> failure = StoreFiles::moveOnto(saved, path))
        fail(*failure);
}

namespace {

// The fixed part of the table header, as far as reading needs it.
struct TableHeader
{
    int recordSize = 0;
    int headerSize = 0;
    int blockSize = 0;
    quint32 numRecords = 0;
    int firstBlock = 0;
    int numFields = 0;
    int version = 0;
    int fieldInfo = 0; // where the field descriptors start
    qint64 blocks = 0; // data blocks in the file
};

// The header's counts and sizes, each checked against the others and against the file's size.
TableHeader readHeader(const uchar* d, qint64 fileSize)
{
    if (fileSize < 0x78)
        fail(QStringLiteral("file shorter than a Paradox header"));
    TableHeader h;
    h.recordSize = le16(d + 0x00);
    h.headerSize = le16(d + 0x02);
    const int fileType = d[0x04];
    const int blockCode = d[0x05];
    h.numRecords = le32(d + 0x06);
    const int fileBlocks = le16(d + 0x0A);
    h.firstBlock = le16(d + 0x0E);
    h.numFields = le16(d + 0x21);
    h.version = d[0x39];

    if (fileType != 0 && fileType != 2)
        fail(QStringLiteral("not a Paradox table data file"));
    if (h.version < 3 || h.version > Version7)
        fail(QStringLiteral("unknown Paradox version %1").arg(h.version));
    const bool v4 = h.version >= 5;
    h.fieldInfo = v4 ? 0x78 : 0x58;
    const quint32 encryption = v4 ? le32(d + 0x5C) : le32(d + 0x25);
    if (encryption != 0)
        fail(QStringLiteral("encrypted table"));
    if (blockCode != 1 && blockCode != 2 && blockCode != 3 && blockCode != 4 && blockCode != 8 && blockCode != 16 &&
        blockCode != 32)
        fail(QStringLiteral("unknown block size code %1").arg(blockCode));
    h.blockSize = blockCode * 1024;
    if (h.numFields < 1 || h.numFields > 255)
        fail(QStringLiteral("field count %1 out of range").arg(h.numFields));
    if (h.headerSize < h.fieldInfo + 2 * h.numFields || h.headerSize > fileSize)
        fail(QStringLiteral("header size %1 does not fit the file").arg(h.headerSize));
    if (h.recordSize < 1 || h.recordSize > h.blockSize - BlockHeader)
        fail(QStringLiteral("record size %1 out of range").arg(h.recordSize));
    h.blocks = (fileSize - h.headerSize) / h.blockSize;
    if (fileBlocks != h.blocks || (fileSize - h.headerSize) % h.blockSize != 0)
        fail(QStringLiteral("the header counts %1 blocks, the file is %2 bytes").arg(fileBlocks).arg(fileSize));
    const qint64 perBlock = (h.blockSize - BlockHeader) / h.recordSize;
    if (qint64(h.numRecords) > h.blocks * perBlock)
        fail(QStringLiteral("%1 records cannot fit in %2 blocks").arg(h.numRecords).arg(h.blocks));
    return h;
}

// The field descriptors: type and size of each field, which together make up a record.
QList<FieldLayout> readLayout(const uchar* d, const TableHeader& h)
{
    QList<FieldLayout> layout;
    int sum = 0;
    for (int i = 0; i < h.numFields; ++i) {
        const FieldLayout f{d[h.fieldInfo + 2 * i], d[h.fieldInfo + 2 * i + 1]};
        const int fixed = fixedSize(f.type);
        const int size = f.type == Bcd ? 17 : f.size;
        if (size < 1 || (fixed != 0 && size != fixed))
            fail(QStringLiteral("field %1 has type %2 and size %3").arg(i + 1).arg(f.type).arg(f.size));
        layout << FieldLayout{f.type, size};
        sum += size;
    }
    if (sum != h.recordSize)
        fail(QStringLiteral("fields take %1 bytes but records %2").arg(sum).arg(h.recordSize));
    return layout;
}

ExchangeColumn::Kind kindOf(quint8 type)
{
    if (type == Alpha)
        return ExchangeColumn::Kind::Text;
    if (type == Short)
        return ExchangeColumn::Kind::SmallInt;
    if (type == Long || type == AutoInc)
        return ExchangeColumn::Kind::Integer;
    if (type == Number || type == Currency)
        return ExchangeColumn::Kind::Number;
    return ExchangeColumn::Kind::Other;
}

// The field names, which follow the field descriptors, two run-time pointers per field and the
// table name.
QList<ExchangeColumn> readFields(const uchar* d, const TableHeader& h, const QList<FieldLayout>& layout)
{
    const int tableNameLength = h.version >= Version7 ? TableNameLength7 : TableNameLengthOld;
    int at = h.fieldInfo + 2 * h.numFields + 4 + 4 * h.numFields + tableNameLength;
    QList<ExchangeColumn> columns;
    for (const FieldLayout& f : layout) {
        const int start = at;
        while (at < h.headerSize && d[at] != 0)
            ++at;
        if (at >= h.headerSize)
            fail(QStringLiteral("field names run past the header"));
        const QByteArray raw(reinterpret_cast<const char*>(d + start), at - start);
        ++at;
        ExchangeColumn c;
        c.name = Gbk::decode(raw).value_or(QString::fromLatin1(raw));
        c.kind = kindOf(f.type);
        if (c.kind == ExchangeColumn::Kind::Text)
            c.width = f.size;
        columns << c;
    }
    return columns;
}

ExchangeValue readValue(const uchar* p, const FieldLayout& f, const ExchangeColumn& column, GbkDecoder& decoder)
{
    switch (f.type) {
    case Alpha: {
        int len = 0;
        while (len < f.size && p[len] != 0)
            ++len;
        const std::optional<std::string_view> text = decoder.utf8(reinterpret_cast<const char*>(p), len);
        if (!text)
            fail(QStringLiteral("field %1 holds text that is not GBK").arg(column.name));
        return ExchangeValue::ofText(*text);
    }
    case Short:
    case Long:
    case AutoInc:
        return getInteger(p, f.size);
    case Number:
    case Currency: {
        const ExchangeValue v = getDouble(p);
        // No workload figure is infinite or undefined: such bytes are damage, not a value.
        if (v.type == ExchangeValue::Type::Number && !std::isfinite(v.number))
            fail(QStringLiteral("field %1 holds no finite number").arg(column.name));
        return v;
    }
    default:
        return ExchangeValue::null();
    }
}

// The data blocks, walked as a chain from the first; each block is visited at most once.
void readBlocks(const uchar* d, const TableHeader& h, const QList<FieldLayout>& layout,
                const QList<ExchangeColumn>& columns, ExchangeRowSink& sink)
{
    GbkDecoder decoder;
    std::vector<ExchangeValue> values(static_cast<std::size_t>(h.numFields));
    quint32 seenRecords = 0;
    std::vector<bool> seen(std::size_t(h.blocks) + 1, false);
    int blockNumber = h.numRecords == 0 ? 0 : h.firstBlock;
    while (blockNumber != 0) {
        if (blockNumber < 1 || blockNumber > h.blocks || seen[std::size_t(blockNumber)])
            fail(QStringLiteral("broken block chain at block %1").arg(blockNumber));
        seen[std::size_t(blockNumber)] = true;
        const uchar* block = d + h.headerSize + qint64(blockNumber - 1) * h.blockSize;
        const int addDataSize = qint16(le16(block + 4));
        if (addDataSize >= 0) {
            if (addDataSize % h.recordSize != 0 || addDataSize + h.recordSize > h.blockSize - BlockHeader)
                fail(QStringLiteral("block %1 claims %2 bytes of records").arg(blockNumber).arg(addDataSize));
            const int count = addDataSize / h.recordSize + 1;
            if (qint64(seenRecords) + count > qint64(h.numRecords))
                fail(QStringLiteral("more records than the header's %1").arg(h.numRecords));
            const uchar* rec = block + BlockHeader;
            for (int r = 0; r < count; ++r, rec += h.recordSize) {
                const uchar* p = rec;
                for (int i = 0; i < h.numFields; ++i) {
                    values[std::size_t(i)] = readValue(p, layout[i], columns[i], decoder);
                    p += layout[i].size;
                }
                sink.row(values);
                ++seenRecords;
            }
        }
        blockNumber = le16(block);
    }
    if (seenRecords != h.numRecords)
        fail(QStringLiteral("the header counts %1 records, the blocks hold %2").arg(h.numRecords).arg(seenRecords));
}

} // namespace

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
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    const TableHeader header = readHeader(d, bytes.size());
    const QList<FieldLayout> layout = readLayout(d, header);
    const QList<ExchangeColumn> columns = readFields(d, header, layout);
    sink.columns(columns);
    readBlocks(d, header, layout, columns, sink);
}

} // namespace ParadoxFile
