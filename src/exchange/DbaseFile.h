#pragma once

#include "exchange/ExchangeRowSink.h"
#include "exchange/ExchangeRowSource.h"
#include "exchange/ExchangeTable.h"

// dBASE III table files, the exchange's ".dbf" format, through shapelib. Text is GBK (language
// driver 77, code page 936), blank-padded; a text that ends in blanks is closed by a NUL so that
// its blanks are not taken for padding. Numbers are written as their shortest exact decimal text.
namespace DbaseFile {

// Writes the rows to `path` atomically: a failed write leaves an earlier file untouched.
// Throws ExchangeFileError (text too wide, text ending in a blank that fills its field, a disk error).
void write(const QString& path, const QList<ExchangeColumn>& columns, ExchangeRowSource& rows);
void write(const QString& path, const ExchangeTable& table);

// Reads the rows that carry no deletion mark; the path must end in ".dbf" (shapelib's rule). The header is checked
// against the file's size before shapelib sees the file (the file is the header and the counted records, then at most
// the end-of-file byte), so a damaged or forged file is refused with ExchangeFileError. Text ends at its first NUL,
// blanks before it included; a text without a NUL loses its trailing blanks (the padding).
// The sink may have received some rows when a later record turns out to be damaged.
void read(const QString& path, ExchangeRowSink& sink);
ExchangeTable read(const QString& path);

// Width of the numeric fields: the longest shortest text of a double ("-1.2345678901234567e-308").
constexpr int NumberWidth = 24;

} // namespace DbaseFile
