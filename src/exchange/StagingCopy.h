#pragma once

#include "store/HeldTemporary.h"

#include <QString>

#include <functional>
#include <optional>

// The import's private copy of the chosen file, made beside the store under a name that no
// other import uses (the pattern's "XXXXXX" becomes six random characters), held while it
// exists (see HeldTemporary: a killed import's copy is removed by a later run, a running one's
// never) and removed again when the copy goes out of scope, whatever became of the import.
class StagingCopy
{
public:
    // Writes up to `size` bytes to a file descriptor as write(2) does: the count written, or -1
    // with errno set. Tests put a disk that runs full in its place.
    using Writer = std::function<long long(int fd, const char* data, long long size)>;
    static Writer systemWriter();

    enum class Result
    {
        Done,
        Failed,
        DiskFull
    };

    StagingCopy(const QString& directory, const QString& pattern);
    StagingCopy(const StagingCopy&) = delete;
    StagingCopy& operator=(const StagingCopy&) = delete;

    // Creates the copy and fills it with the source's bytes.
    Result copyFrom(const QString& source, const Writer& write);
    // Empty until the copy has been created.
    QString path() const { return m_file ? m_file->path() : QString(); }

private:
    Result create();
    Result fill(const QString& source, const Writer& write, int fd);
    static Result failure(int error);

    QString m_pattern;
    std::optional<HeldTemporary> m_file;
};
