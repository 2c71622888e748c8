#include "reports/SavedFile.h"

#include "reports/ReportFileError.h"
#include "store/StoreFiles.h"

#include <QSaveFile>

namespace SavedFile {

void write(const QString& path, const std::function<void(QIODevice&)>& write)
{
    // The save file's own temporary name would add to the destination's, which may be as long as a
    // name can be: it saves under a short name beside the destination, renamed onto it at the end.
    const QString saved = StoreFiles::temporaryFor(path, QStringLiteral(".part"));
    QSaveFile file(saved);
    if (!file.open(QIODevice::WriteOnly))
        throw ReportFileError(path, file.errorString());
    write(file);
    if (file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw ReportFileError(path, reason);
    }
    if (!file.commit())
        throw ReportFileError(path, file.errorString());
    if (const std::optional<QString> failure = StoreFiles::moveOnto(saved, path))
        throw ReportFileError(path, *failure);
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    write(path, [&](QIODevice& file) {
        if (file.write(bytes) != bytes.size())
            throw ReportFileError(path, file.errorString());
    });
}

} // namespace SavedFile
