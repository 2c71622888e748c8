#pragma once

#include <QByteArray>

#include <string_view>

// The memo companion of a Paradox table (".mb"): the values of memo and binary fields that do
// not fit the start a record keeps of them. A value lies either in a block of its own or in a
// slot of a block shared by short values; every pointer on the way is checked against the file.
class ParadoxMemoFile
{
public:
    // `bytes` must outlive the object. Throws ExchangeFileError when they are no memo file.
    explicit ParadoxMemoFile(const QByteArray& bytes);

    // The value of a memo field of `size` bytes at `field`, without a copy: the record's own
    // bytes when the value fits them, else the memo file's. Throws ExchangeFileError, naming
    // what is wrong, for a reference that leads nowhere.
    std::string_view value(const uchar* field, int size) const;

    // The same for a table without memo file: a value longer than the record's start is refused.
    static std::string_view inlineValue(const uchar* field, int size);

private:
    std::string_view ownBlock(quint32 offset, quint32 length) const;
    std::string_view slot(quint32 offset, int index, quint32 length) const;

    const QByteArray& m_bytes;
};
