#pragma once

#include <QString>

#include <chrono>
#include <optional>

// A temporary file or directory that a command works in: made under a name of its own and held,
// for as long as this object lives, with an advisory lock (flock) on a descriptor of its own. The
// kernel lets the lock go when the process ends, killed or not, so a temporary whose lock can be
// taken has no living owner: Leftovers removes those, and never one that a running command holds.
//
// The lock is on a descriptor that nothing else closes. SQLite's locks are POSIX record locks,
// which are independent of it; and since closing any descriptor of a file drops all of a
// process's record locks on it, the descriptor stays open until the object goes, after the
// store's connections to the file have closed.
class HeldTemporary
{
public:
    enum class Kind
    {
        File,
        Directory
    };

    // Makes a file (open for reading and writing, mode 0600) or a directory (mode 0700) from
    // `pattern`, whose last "XXXXXX" becomes six random letters and digits, and holds it. Throws
    // a StoreError (DiskFull for a full disk, else Storage) with the system's reason.
    static HeldTemporary create(Kind kind, const QString& pattern);

    // Holds a temporary that some other run made: when `path` is a file or directory (not a link)
    // of the kind, last changed at least `minimumAge` ago, and no one else holds it. Empty
    // otherwise. The age covers the moment between a temporary's making and its locking.
    static std::optional<HeldTemporary> takeOver(const QString& path, Kind kind, std::chrono::seconds minimumAge);

    HeldTemporary(HeldTemporary&& other) noexcept;
    HeldTemporary& operator=(HeldTemporary&& other) noexcept;
    HeldTemporary(const HeldTemporary&) = delete;
    HeldTemporary& operator=(const HeldTemporary&) = delete;
    // Removes the temporary (a file together with the journals SQLite may have left beside it, a
    // directory with everything in it) unless kept, then lets the lock go.
    ~HeldTemporary();

    const QString& path() const { return m_path; }
    // The held descriptor: for a file, open for reading and writing. Never close it.
    int descriptor() const { return m_fd; }
    // The temporary was renamed into its place, or is to stay for a later run: it is not removed.
    void keep() { m_keep = true; }

private:
    HeldTemporary(QString path, int fd, Kind kind);
    void release() noexcept;

    QString m_path;
    int m_fd = -1;
    Kind m_kind = Kind::File;
    bool m_keep = false;
};
