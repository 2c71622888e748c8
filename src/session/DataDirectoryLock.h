#pragma once

#include <QLockFile>
#include <QString>

// One program per data directory: a lock file beside the store, held while the program runs.
// A lock left by a program that no longer runs (a crash, a power cut) is taken over, also one
// that a power cut left without its holder's details.
class DataDirectoryLock
{
public:
    static constexpr const char* FileName = "workload.lock";

    explicit DataDirectoryLock(const QString& dataDir);

    // Takes the lock; false when another running program holds it.
    bool tryLock();
    // The holder, for a message: "pid 1234 on host" (empty when unknown).
    QString holder() const;
    // The holder in full-width parentheses, to follow "使用" in a message; empty when unknown.
    QString holderNote() const;

private:
    // A lock file that names no holder and was not just made: what a power cut between making
    // the file and writing it leaves.
    bool isBlank() const;

    QString m_path;
    QLockFile m_file;
};
