#include "exchange/ParadoxFile.h"

#include "exchange/ExchangeTableCollector.h"
#include "exchange/ExchangeTableSource.h"
#include "exchange/ExchangeValueText.h"
#include "exchange/ParadoxFormat.h"
#include "exchange/ParadoxReader.h"
#include "store/StoreFiles.h"

#include <QFile>
#include <QSaveFile>

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
    case ExchangeColumn::Kind::Logical:
    case ExchangeColumn::Kind::Date:
    case ExchangeColumn::Kind::Memo:
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
    ParadoxReader(bytes).read(sink);
}

} // namespace ParadoxFile
