#pragma once

#include "exchange/ExchangeRowSink.h"

#include <QByteArray>

class ParadoxMemoFile;

// Reads a Paradox table data file (".db", and the exchange's ".dbt"): the header, every field
// with its type, and the records of the data blocks in their chain. Alpha, Short, Long,
// AutoIncrement, Number, Currency, Logical and Date fields are read as values; memo fields as
// text, from the memo companion when the record keeps only their start; other types as nulls.
// Every header field is checked against the file's size and the others, so a damaged, cut or
// forged file, or one of a version no Paradox release wrote, is refused with ExchangeFileError
// saying what is wrong rather than misread.
class ParadoxReader
{
public:
    // `bytes` must outlive the reader.
    explicit ParadoxReader(const QByteArray& bytes) : m_bytes(bytes) {}

    // Memo values longer than their record's share are read from this file (it must outlive
    // the reader); without one they are refused.
    void setMemoFile(const ParadoxMemoFile* memo) { m_memo = memo; }
    // Refuses a table whose header names another code page than GBK's (936).
    void requireGbk() { m_requireGbk = true; }

    // The number of records the header counts (checked against the blocks by read()).
    qint64 recordCount() const;

    // The columns first, then every row in file order.
    void read(ExchangeRowSink& sink) const;

private:
    const QByteArray& m_bytes;
    const ParadoxMemoFile* m_memo = nullptr;
    bool m_requireGbk = false;
};
