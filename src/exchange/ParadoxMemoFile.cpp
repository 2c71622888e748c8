#include "exchange/ParadoxMemoFile.h"

#include "exchange/ExchangeFileError.h"
#include "exchange/ParadoxFormat.h"

namespace {

using ParadoxFormat::BlobReference;
using ParadoxFormat::le32;

constexpr quint32 MemoBlockSize = 4096;
constexpr quint8 HeaderBlock = 0;
constexpr quint8 OwnBlock = 2;
constexpr quint8 SharedBlock = 3;
constexpr int OwnBlockHeader = 9;
constexpr int SharedBlockHeader = 12;
constexpr int SlotEntry = 5;
constexpr int Slots = 64;

[[noreturn]] void fail(const QString& why)
{
    throw ExchangeFileError(why);
}

struct Reference
{
    quint32 offset;
    int index;
    quint32 length;
};

Reference referenceOf(const uchar* field, int size)
{
    if (size <= BlobReference)
        fail(QStringLiteral("memo field of %1 bytes has no room for its reference").arg(size));
    const uchar* ref = field + size - BlobReference;
    const quint32 pointer = le32(ref);
    return {pointer & 0xffffff00u, int(pointer & 0xffu), le32(ref + 4)};
}

} // namespace

ParadoxMemoFile::ParadoxMemoFile(const QByteArray& bytes) : m_bytes(bytes)
{
    if (m_bytes.isEmpty() || quint8(m_bytes[0]) != HeaderBlock)
        fail(QStringLiteral("not a Paradox memo file"));
}

std::string_view ParadoxMemoFile::inlineValue(const uchar* field, int size)
{
    const Reference r = referenceOf(field, size);
    if (r.length > quint32(size - BlobReference))
        fail(QStringLiteral("a memo of %1 bytes lies in the memo file, which is missing").arg(r.length));
    return {reinterpret_cast<const char*>(field), r.length};
}

std::string_view ParadoxMemoFile::value(const uchar* field, int size) const
{
    const Reference r = referenceOf(field, size);
    if (r.length <= quint32(size - BlobReference))
        return {reinterpret_cast<const char*>(field), r.length};
    if (r.offset == 0 || r.offset % MemoBlockSize != 0 || qint64(r.offset) + 3 > m_bytes.size())
        fail(QStringLiteral("memo reference to offset %1 outside the memo file (%2 bytes)")
                 .arg(r.offset)
                 .arg(m_bytes.size()));
    const quint8 type = quint8(m_bytes[qsizetype(r.offset)]);
    if (type == OwnBlock)
        return ownBlock(r.offset, r.length);
    if (type == SharedBlock)
        return slot(r.offset, r.index, r.length);
    fail(QStringLiteral("memo reference to a block of type %1 at offset %2").arg(type).arg(r.offset));
}

std::string_view ParadoxMemoFile::ownBlock(quint32 offset, quint32 length) const
{
    if (qint64(offset) + OwnBlockHeader > m_bytes.size())
        fail(QStringLiteral("memo block at offset %1 cut short").arg(offset));
    const auto* block = reinterpret_cast<const uchar*>(m_bytes.constData()) + offset;
    if (le32(block + 3) != length)
        fail(QStringLiteral("memo block at offset %1 holds %2 bytes, the record says %3")
                 .arg(offset)
                 .arg(le32(block + 3))
                 .arg(length));
    if (qint64(offset) + OwnBlockHeader + length > m_bytes.size())
        fail(
            QStringLiteral("memo of %1 bytes at offset %2 runs past the end of the memo file").arg(length).arg(offset));
    return {reinterpret_cast<const char*>(block + OwnBlockHeader), length};
}

std::string_view ParadoxMemoFile::slot(quint32 offset, int index, quint32 length) const
{
    if (index >= Slots || qint64(offset) + SharedBlockHeader + (index + 1) * SlotEntry > m_bytes.size())
        fail(QStringLiteral("memo slot %1 of the block at offset %2 does not exist").arg(index).arg(offset));
    const auto* block = reinterpret_cast<const uchar*>(m_bytes.constData()) + offset;
    const uchar* entry = block + SharedBlockHeader + index * SlotEntry;
    const quint32 start = quint32(entry[0]) * 16;
    const quint32 slotLength = entry[1] == 0 ? 0 : (quint32(entry[1]) - 1) * 16 + entry[4];
    if (slotLength != length)
        fail(QStringLiteral("memo slot %1 at offset %2 holds %3 bytes, the record says %4")
                 .arg(index)
                 .arg(offset)
                 .arg(slotLength)
                 .arg(length));
    if (start < SharedBlockHeader + Slots * SlotEntry || start + length > MemoBlockSize ||
        qint64(offset) + start + length > m_bytes.size())
        fail(QStringLiteral("memo slot %1 at offset %2 points outside its block").arg(index).arg(offset));
    return {reinterpret_cast<const char*>(block + start), length};
}
