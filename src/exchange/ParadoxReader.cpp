#include "exchange/ParadoxReader.h"

#include "exchange/ExchangeFileError.h"
#include "exchange/GbkDecoder.h"
#include "exchange/ParadoxFormat.h"
#include "exchange/ParadoxMemoFile.h"
#include "store/Gbk.h"

#include <cmath>
#include <vector>

namespace {

using namespace ParadoxFormat;

[[noreturn]] void fail(const QString& why)
{
    throw ExchangeFileError(why);
}

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
    int codePage = 0;  // 0 for versions without one
    int fieldInfo = 0; // where the field descriptors start
    qint64 blocks = 0; // data blocks in the file
};

void checkVersion(TableHeader& h, const uchar* d)
{
    h.version = d[0x39];
    if (versionName(h.version).isEmpty())
        fail(QStringLiteral("unknown Paradox table version %1 (0x%2): no Paradox release wrote it")
                 .arg(h.version)
                 .arg(h.version, 2, 16, QLatin1Char('0')));
}

void checkSizes(TableHeader& h, qint64 fileSize, int blockCode, int fileBlocks)
{
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
}

// The header's counts and sizes, each checked against the others and against the file's size.
TableHeader readHeader(const uchar* d, qint64 fileSize)
{
    if (fileSize < 0x78)
        fail(QStringLiteral("file shorter than a Paradox header"));
    TableHeader h;
    h.recordSize = le16(d + 0x00);
    h.headerSize = le16(d + 0x02);
    const int fileType = d[0x04];
    h.numRecords = le32(d + 0x06);
    h.firstBlock = le16(d + 0x0E);
    h.numFields = le16(d + 0x21);

    if (fileType != 0 && fileType != 2)
        fail(QStringLiteral("not a Paradox table data file"));
    checkVersion(h, d);
    const bool v4 = h.version >= 5;
    h.fieldInfo = v4 ? 0x78 : 0x58;
    h.codePage = v4 ? le16(d + 0x6A) : 0;
    const quint32 encryption = v4 ? le32(d + 0x5C) : le32(d + 0x25);
    if (encryption != 0)
        fail(QStringLiteral("encrypted table"));
    checkSizes(h, fileSize, d[0x05], le16(d + 0x0A));
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
        if (size < 1 || (fixed != 0 && size != fixed) || (isBlob(f.type) && size <= BlobReference))
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
    switch (type) {
    case Alpha:
        return ExchangeColumn::Kind::Text;
    case Short:
        return ExchangeColumn::Kind::SmallInt;
    case Long:
    case AutoInc:
        return ExchangeColumn::Kind::Integer;
    case Number:
    case Currency:
        return ExchangeColumn::Kind::Number;
    case Logical:
        return ExchangeColumn::Kind::Logical;
    case Date:
        return ExchangeColumn::Kind::Date;
    case Memo:
    case FormattedMemo:
        return ExchangeColumn::Kind::Memo;
    default:
        return ExchangeColumn::Kind::Other;
    }
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

// A text up to its first NUL byte (the padding), with the blanks before it, as UTF-8.
ExchangeValue textValue(const char* p, int size, const ExchangeColumn& column, GbkDecoder& decoder)
{
    int len = 0;
    while (len < size && p[len] != 0)
        ++len;
    const std::optional<std::string_view> text = decoder.utf8(p, len);
    if (!text)
        fail(QStringLiteral("field %1 holds text that is not GBK").arg(column.name));
    return ExchangeValue::ofText(*text);
}

ExchangeValue logicalValue(const uchar* p, const ExchangeColumn& column)
{
    if (p[0] == 0)
        return ExchangeValue::null();
    if (p[0] != 0x80 && p[0] != 0x81)
        fail(QStringLiteral("field %1 holds %2, which is no logical value").arg(column.name).arg(p[0]));
    return ExchangeValue::ofInteger(p[0] & 1);
}

ExchangeValue numberValue(const uchar* p, const ExchangeColumn& column)
{
    const ExchangeValue v = getDouble(p);
    // No workload figure is infinite or undefined: such bytes are damage, not a value.
    if (v.type == ExchangeValue::Type::Number && !std::isfinite(v.number))
        fail(QStringLiteral("field %1 holds no finite number").arg(column.name));
    return v;
}

// The record's fields and where their values are read from.
class RecordReader
{
public:
    RecordReader(const QList<FieldLayout>& layout, const QList<ExchangeColumn>& columns, const ParadoxMemoFile* memo)
        : m_layout(layout), m_columns(columns), m_memo(memo), m_values(std::size_t(layout.size()))
    {}

    std::span<const ExchangeValue> read(const uchar* record)
    {
        const uchar* p = record;
        for (int i = 0; i < m_layout.size(); ++i) {
            m_values[std::size_t(i)] = value(p, m_layout[i], m_columns[i]);
            p += m_layout[i].size;
        }
        return m_values;
    }

private:
    ExchangeValue value(const uchar* p, const FieldLayout& f, const ExchangeColumn& column)
    {
        switch (f.type) {
        case Alpha:
            return textValue(reinterpret_cast<const char*>(p), f.size, column, m_decoder);
        case Short:
        case Long:
        case AutoInc:
        case Date:
            return getInteger(p, f.size);
        case Number:
        case Currency:
            return numberValue(p, column);
        case Logical:
            return logicalValue(p, column);
        case Memo:
        case FormattedMemo:
            return memoValue(p, f.size, column);
        default:
            return ExchangeValue::null();
        }
    }

    ExchangeValue memoValue(const uchar* p, int size, const ExchangeColumn& column)
    {
        try {
            const std::string_view bytes = m_memo ? m_memo->value(p, size) : ParadoxMemoFile::inlineValue(p, size);
            if (bytes.empty())
                return ExchangeValue::null();
            return textValue(bytes.data(), int(bytes.size()), column, m_decoder);
        } catch (const ExchangeFileError& e) {
            fail(QStringLiteral("field %1: %2").arg(column.name, e.text()));
        }
    }

    const QList<FieldLayout>& m_layout;
    const QList<ExchangeColumn>& m_columns;
    const ParadoxMemoFile* m_memo;
    GbkDecoder m_decoder;
    std::vector<ExchangeValue> m_values;
};

// The data blocks, walked as a chain from the first; each block is visited at most once.
void readBlocks(const uchar* d, const TableHeader& h, RecordReader& records, ExchangeRowSink& sink)
{
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
                sink.row(records.read(rec));
                ++seenRecords;
            }
        }
        blockNumber = le16(block);
    }
    if (seenRecords != h.numRecords)
        fail(QStringLiteral("the header counts %1 records, the blocks hold %2").arg(h.numRecords).arg(seenRecords));
}

} // namespace

qint64 ParadoxReader::recordCount() const
{
    return m_bytes.size() < 0x78 ? 0 : le32(reinterpret_cast<const uchar*>(m_bytes.constData()) + 0x06);
}

void ParadoxReader::read(ExchangeRowSink& sink) const
{
    const auto* d = reinterpret_cast<const uchar*>(m_bytes.constData());
    const TableHeader header = readHeader(d, m_bytes.size());
    if (m_requireGbk && header.codePage != 0 && header.codePage != CodePageGbk)
        fail(QStringLiteral("code page %1, not GBK (%2)").arg(header.codePage).arg(CodePageGbk));
    const QList<FieldLayout> layout = readLayout(d, header);
    const QList<ExchangeColumn> columns = readFields(d, header, layout);
    sink.columns(columns);
    RecordReader records(layout, columns, m_memo);
    readBlocks(d, header, records, sink);
}
