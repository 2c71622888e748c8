#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

// Writes a list file under a temporary name beside its destination and renames it over the
// destination only when it is complete, so a failed write never damages an earlier file.
namespace SavedFile {

// Calls `write` with the open temporary file, then commits it. A write step that fails throws
// (its ReportFileError, or one made from the file's own error); nothing is left behind then.
void write(const QString& path, const std::function<void(QIODevice&)>& write);

void writeBytes(const QString& path, const QByteArray& bytes);

} // namespace SavedFile
