#include "reports/SavedFile.h"

#include "reports/ReportFileError.h"

#include <QSaveFile>

namespace SavedFile {

void write(const QString& path, const std::function<void(QIODevice&)>& write)
{
    QSaveFile file(path);
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
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    write(path, [&](QIODevice& file) {
        if (file.write(bytes) != bytes.size())
            throw ReportFileError(path, file.errorString());
    });
}

} // namespace SavedFile
