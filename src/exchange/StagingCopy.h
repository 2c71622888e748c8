#pragma once

#include <QString>

#include <functional>

// The import's private copy of the chosen file, made beside the store under a name that no
// other import uses (prefix, six random characters, suffix) and removed again when the copy
// goes out of scope, whatever became of the import.
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

    StagingCopy(const QString& directory, const QString& prefix, const QString& suffix);
    ~StagingCopy();
    StagingCopy(const StagingCopy&) = delete;
    StagingCopy& operator=(const StagingCopy&) = delete;

    // Creates the copy and fills it with the source's bytes.
    Result copyFrom(const QString& source, const Writer& write);
    // Empty until the copy has been created.
    const QString& path() const { return m_path; }

private:
    Result create();
    Result fill(const QString& source, const Writer& write);
    static Result failure(int error);

    QString m_template;
    int m_suffixLength;
    QString m_path;
    int m_fd = -1;
};
