#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QThread>

#include <ctime>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/time.h>
#include <unistd.h>
#include <utility>

// What tests of killed commands need: a tool run as a child process, the disk as a killed command
// leaves it, and a living holder of a temporary.
namespace KilledCommands {

// A child process run to its end, with what it printed.
struct ChildRun
{
    int status = -1; // -1: killed or did not end
    QString out;
    QString err;
};

inline ChildRun runChild(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    ChildRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
    } else if (process.exitStatus() == QProcess::NormalExit) {
        run.status = process.exitCode();
    }
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Gives a file or directory the times it would have if it had been left an hour ago.
inline bool makeOld(const QString& path)
{
    const struct timeval hourAgo = {std::time(nullptr) - 3600, 0};
    const struct timeval times[2] = {hourAgo, hourAgo};
    return ::utimes(QFile::encodeName(path).constData(), times) == 0;
}

// Holds the advisory lock of a file or directory through a descriptor of its own, as a command
// that works on it does.
class Holder
{
public:
    explicit Holder(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK))
    {}
    ~Holder()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;
    bool lock() const { return m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0; }

private:
    int m_fd;
};

// Every entry of a directory, hidden ones included, by name.
inline QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Waits (at most a minute) until `done` holds; whether it did.
inline bool waitUntil(const std::function<bool()>& done)
{
    const QDeadlineTimer deadline(60000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(2);
    }
    return true;
}

// A restore's work directory in `dataDir` as a restore killed after preparing its copy leaves it:
// the checked copy (a copy of `prepared`) and, when `source` is given, the marker that says it is
// ready to be put in the store's place. Returns its path (empty on failure).
inline QString leaveRestoreWork(const QString& dataDir, const QString& prepared, const QString& source)
{
    const QString work = QDir(dataDir).filePath(QStringLiteral(".workload-restore-Ab12Cd"));
    if (!QDir().mkdir(work) || !QFile::copy(prepared, QDir(work).filePath(QStringLiteral("workload.sqlite3"))))
        return {};
    QFile marker(QDir(work).filePath(QStringLiteral("restore-ready")));
    if (!source.isEmpty() && !(marker.open(QIODevice::WriteOnly) && marker.write(source.toUtf8()) > 0))
        return {};
    return work;
}

} // namespace KilledCommands
