#include "store/HeldTemporary.h"

#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr const char* Random = "XXXXXX";

[[noreturn]] void fail(HeldTemporary::Kind kind, const QString& pattern, int error)
{
    const QString text = kind == HeldTemporary::Kind::File ? QStringLiteral("不能建立临时文件 %1: %2")
                                                           : QStringLiteral("不能建立临时目录 %1: %2");
    throw StoreError(text.arg(pattern, QString::fromLocal8Bit(std::strerror(error))), {},
                     error == ENOSPC || error == EDQUOT ? StoreError::Kind::DiskFull : StoreError::Kind::Io);
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool ofKind(const struct stat& st, HeldTemporary::Kind kind)
{
    return kind == HeldTemporary::Kind::File ? S_ISREG(st.st_mode) : S_ISDIR(st.st_mode);
}

// mkdtemp(3) for a name whose random part `at` may be followed by more: a new directory, mode 0700.
bool makeDirectory(QByteArray& name, qsizetype at)
{
    static const char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (qsizetype i = 0; i < qsizetype(std::strlen(Random)); ++i)
            name[at + i] = Letters[QRandomGenerator::system()->bounded(int(sizeof Letters) - 1)];
        if (::mkdir(name.constData(), 0700) == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// A temporary is locked right after it is made; one changed this recently may not be yet.
bool oldEnough(const struct stat& st, std::chrono::seconds minimumAge)
{
    return std::time(nullptr) - st.st_mtime >= minimumAge.count();
}

} // namespace

HeldTemporary::HeldTemporary(QString path, int fd, Kind kind) : m_path(std::move(path)), m_fd(fd), m_kind(kind) {}

HeldTemporary HeldTemporary::create(Kind kind, const QString& pattern)
{
    QByteArray name = QFile::encodeName(pattern);
    const qsizetype at = name.lastIndexOf(Random);
    if (at < 0)
        fail(kind, pattern, EINVAL);
    int fd = -1;
    if (kind == Kind::File) {
        fd = ::mkostemps(name.data(), int(name.size() - at - qsizetype(std::strlen(Random))), O_CLOEXEC);
        if (fd < 0)
            fail(kind, pattern, errno);
    } else {
        if (!makeDirectory(name, at))
            fail(kind, pattern, errno);
        fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            ::rmdir(name.constData());
            fail(kind, pattern, error);
        }
    }
    HeldTemporary held(QFile::decodeName(name), fd, kind);
    // A cleaner looks at a temporary this young only for a moment, if at all.
    while (::flock(fd, LOCK_EX) != 0)
        if (errno != EINTR)
            fail(kind, pattern, errno);
    return held;
}

std::optional<HeldTemporary> HeldTemporary::takeOver(const QString& path, Kind kind, std::chrono::seconds minimumAge)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat named;
    if (::lstat(name.constData(), &named) != 0 || !ofKind(named, kind) || !oldEnough(named, minimumAge))
        return std::nullopt;
    const int flags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | (kind == Kind::Directory ? O_DIRECTORY : 0);
    const int fd = ::open(name.constData(), flags);
    if (fd < 0)
        return std::nullopt;
    HeldTemporary held(path, fd, kind);
    held.m_keep = true; // until it is known to be a leftover
    struct stat opened;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &opened) != 0 || !sameFile(named, opened))
        return std::nullopt;
    // Its owner may have renamed it into place and ended since it was looked at.
    if (::lstat(name.constData(), &named) != 0 || !sameFile(named, opened))
        return std::nullopt;
    if (!oldEnough(opened, minimumAge))
        return std::nullopt;
    held.m_keep = false;
    return held;
}

HeldTemporary::HeldTemporary(HeldTemporary&& other) noexcept
    : m_path(std::move(other.m_path)), m_fd(std::exchange(other.m_fd, -1)), m_kind(other.m_kind), m_keep(other.m_keep)
{}

HeldTemporary& HeldTemporary::operator=(HeldTemporary&& other) noexcept
{
    if (this != &other) {
        release();
        m_path = std::move(other.m_path);
        m_fd = std::exchange(other.m_fd, -1);
        m_kind = other.m_kind;
        m_keep = other.m_keep;
    }
    return *this;
}

HeldTemporary::~HeldTemporary()
{
    release();
}

void HeldTemporary::release() noexcept
{
    if (m_fd < 0)
        return;
    // Removed while still held, so no cleaner meets it unlocked under its name. What cannot be
    // removed now (nothing is thrown from here) is left to the next removal of leftovers.
    if (!m_keep) {
        if (m_kind == Kind::Directory) {
            QDir(m_path).removeRecursively();
        } else {
            for (const char* suffix : {"", "-journal", "-wal", "-shm"})
                ::unlink(QFile::encodeName(m_path + QLatin1String(suffix)).constData());
        }
    }
    ::close(std::exchange(m_fd, -1)); // only the lock's descriptor: nothing was written through it
}
