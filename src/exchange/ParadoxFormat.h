#pragma once

#include "exchange/ExchangeValue.h"

#include <QByteArray>
#include <QString>

// The layout of a Paradox table data file as the reader and the writer share it: field type
// codes, block geometry and the byte forms of numbers.
namespace ParadoxFormat {

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
    Memo = 0x0C,
    Blob = 0x0D,
    FormattedMemo = 0x0E,
    Ole = 0x0F,
    Graphic = 0x10,
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

// The table versions a header names (its byte 0x39) and the Paradox release that wrote each;
// empty for a number no release used.
QString versionName(int version);

// Memo and binary fields: their first (size - 10) bytes hold the start of the value, the last
// ten where the whole of it lies in the memo file (".mb"), how long it is and its change count.
bool isBlob(quint8 type);
constexpr int BlobReference = 10;

struct FieldLayout
{
    quint8 type;
    int size;
};

// The size a field type must have, or 0 when the type has a variable size.
int fixedSize(quint8 type);

void putLe16(QByteArray& b, int at, quint16 v);
void putLe32(QByteArray& b, int at, quint32 v);
quint16 le16(const uchar* p);
quint32 le32(const uchar* p);

// Numbers are stored high byte first with the sign bit inverted, so that the bytes sort as the
// numbers do; negative doubles have every bit inverted. All zero bytes are the blank value.
void putInteger(char* out, qint64 value, int size);
void putDouble(char* out, double value);
ExchangeValue getInteger(const uchar* p, int size);
ExchangeValue getDouble(const uchar* p);

} // namespace ParadoxFormat
