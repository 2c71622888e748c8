#pragma once

#include "exchange/ExchangeRowSink.h"
#include "exchange/ExchangeRowSource.h"
#include "exchange/ExchangeTable.h"

// Paradox 7 table data files (non-indexed) with Long, Short, Number and Alpha fields, the
// exchange's ".dbt" format. Text is GBK (header code page 936).
namespace ParadoxFile {

// Writes the rows to `path` atomically: a failed write leaves an earlier file untouched.
// Throws ExchangeFileError (text too wide, a value the format cannot hold, a disk error).
void write(const QString& path, const QList<ExchangeColumn>& columns, ExchangeRowSource& rows);
void write(const QString& path, const ExchangeTable& table);

// Reads a whole table. Every header field is checked against the file's size, so a damaged or
// forged file is refused with ExchangeFileError rather than misread; the sink may have received
// some rows by then.
void read(const QString& path, ExchangeRowSink& sink);
void parse(const QByteArray& bytes, ExchangeRowSink& sink);
ExchangeTable read(const QString& path);
ExchangeTable parse(const QByteArray& bytes);

} // namespace ParadoxFile
