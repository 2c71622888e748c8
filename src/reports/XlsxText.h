#pragma once

#include <QByteArray>
#include <QString>

// Text for a workbook cell. The workbook format writes a character that XML cannot carry as
// _xHHHH_ (its code in four hexadecimal digits), so a text that itself holds such a sequence keeps
// it only with its leading underscore written as _x005F_; otherwise a spreadsheet program reads
// "_x0041_" as "A". The whole escaping is done here: the library then finds nothing to escape.
namespace XlsxText {

// UTF-8 for the library: control characters (below U+0020, tab and line feed aside) as _xHHHH_,
// and the underscore that begins an _xHHHH_ of the written text as _x005F_.
QByteArray escaped(const QString& text);

} // namespace XlsxText
