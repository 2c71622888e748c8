#include "exchange/StagingCopy.h"

#include "store/StoreError.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

StagingCopy::Writer StagingCopy::systemWriter()
{
    return [](int fd, const char* data, long long size) {
        return static_cast<long long>(::write(fd, data, std::size_t(size)));
    };
}

StagingCopy::StagingCopy(const QString& directory, const QString& pattern)
    : m_pattern(QDir(directory).filePath(pattern))
{}

StagingCopy::Result StagingCopy::copyFrom(const QString& source, const Writer& write)
{
    const Result created = create();
    if (created != Result::Done)
        return created;
    // Written through a descriptor of its own, so that the held one stays open (and locked).
    const int fd = ::fcntl(m_file->descriptor(), F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        return failure(errno);
    const Result filled = fill(source, write, fd);
    // Some file systems report a full disk only when the file is closed.
    if (::close(fd) != 0 && filled == Result::Done)
        return failure(errno);
    return filled;
}

StagingCopy::Result StagingCopy::create()
{
    try {
        m_file = HeldTemporary::create(HeldTemporary::Kind::File, m_pattern);
    } catch (const StoreError& e) {
        return e.kind() == StoreError::Kind::DiskFull ? Result::DiskFull : Result::Failed;
    }
    return Result::Done;
}

StagingCopy::Result StagingCopy::fill(const QString& source, const Writer& write, int fd)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return Result::Failed;
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 got = in.read(buffer.data(), buffer.size());
        if (got < 0)
            return Result::Failed;
        if (got == 0)
            return Result::Done;
        for (qint64 done = 0; done < got;) {
            const long long n = write(fd, buffer.constData() + done, got - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return n < 0 ? failure(errno) : Result::Failed;
            done += n;
        }
    }
}

StagingCopy::Result StagingCopy::failure(int error)
{
    return error == ENOSPC || error == EDQUOT ? Result::DiskFull : Result::Failed;
}
