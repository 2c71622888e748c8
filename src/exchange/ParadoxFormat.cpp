#include "exchange/ParadoxFormat.h"

#include <bit>

namespace ParadoxFormat {

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

namespace {

bool isBlank(const uchar* p, int size)
{
    for (int i = 0; i < size; ++i)
        if (p[i] != 0)
            return false;
    return true;
}

} // namespace

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

QString versionName(int version)
{
    switch (version) {
    case 0x03:
        return QStringLiteral("Paradox 3.0");
    case 0x04:
        return QStringLiteral("Paradox 3.5");
    case 0x05:
    case 0x06:
    case 0x07:
    case 0x08:
    case 0x09:
        return QStringLiteral("Paradox 4.x");
    case 0x0A:
    case 0x0B:
        return QStringLiteral("Paradox 5.x");
    case Version7:
        return QStringLiteral("Paradox 7.x");
    default:
        return {};
    }
}

bool isBlob(quint8 type)
{
    return type == Memo || type == Blob || type == FormattedMemo || type == Ole || type == Graphic;
}

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

} // namespace ParadoxFormat
