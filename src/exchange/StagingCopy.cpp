#include "exchange/StagingCopy.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <unistd.h>
#include <utility>

StagingCopy::Writer StagingCopy::systemWriter()
{
    return [](int fd, const char* data, long long size) {
        return static_cast<long long>(::write(fd, data, std::size_t(size)));
    };
}

StagingCopy::StagingCopy(const QString& directory, const QString& prefix, const QString& suffix)
    : m_template(QDir(directory).filePath(prefix + QStringLiteral("XXXXXX") + suffix)),
      m_suffixLength(int(QFile::encodeName(suffix).size()))
{}

StagingCopy::~StagingCopy()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_path.isEmpty())
        QFile::remove(m_path);
}

StagingCopy::Result StagingCopy::copyFrom(const QString& source, const Writer& write)
{
    const Result created = create();
    if (created != Result::Done)
        return created;
    const Result filled = fill(source, write);
    const int fd = std::exchange(m_fd, -1);
    // Some file systems report a full disk only when the file is closed.
    if (::close(fd) != 0 && filled == Result::Done)
        return failure(errno);
    return filled;
}

StagingCopy::Result StagingCopy::create()
{
    QByteArray name = QFile::encodeName(m_template);
    m_fd = ::mkstemps(name.data(), m_suffixLength);
    if (m_fd < 0)
        return failure(errno);
    m_path = QFile::decodeName(name);
    return Result::Done;
}

StagingCopy::Result StagingCopy::fill(const QString& source, const Writer& write)
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
            const long long n = write(m_fd, buffer.constData() + done, got - done);
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
