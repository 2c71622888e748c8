#include "store/Leftovers.h"

#include "store/HeldTemporary.h"
#include "store/RestoreSwitch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Temporary
{
    const QString& pattern;
    HeldTemporary::Kind kind;
    bool inBackupFolder;
};

const Temporary Temporaries[] = {
    {Leftovers::BackupCopy, HeldTemporary::Kind::File, true},
    {Leftovers::ParadoxCopy, HeldTemporary::Kind::File, false},
    {Leftovers::DbaseCopy, HeldTemporary::Kind::File, false},
    {Leftovers::RestoreWork, HeldTemporary::Kind::Directory, false},
    {Leftovers::NewStore, HeldTemporary::Kind::Directory, false},
};

// What SQLite may leave beside a database file it had open.
const char* const Journals[] = {"-journal", "-wal", "-shm"};

const Temporary* temporaryNamed(const QString& name, Leftovers::Place place)
{
    for (const Temporary& t : Temporaries) {
        if ((place == Leftovers::Place::DataDirectory || t.inBackupFolder) && Leftovers::matches(name, t.pattern))
            return &t;
    }
    return nullptr;
}

// A journal of a file temporary whose file is no longer there, old enough not to be one that a
// command is making now (SQLite makes a journal only beside a file it has open).
bool isOrphanedJournal(const QDir& folder, const QString& name, Leftovers::Place place, std::chrono::seconds minimumAge)
{
    for (const char* journal : Journals) {
        const QString suffix = QLatin1String(journal);
        if (!name.endsWith(suffix))
            continue;
        const QString file = name.chopped(suffix.size());
        const Temporary* t = temporaryNamed(file, place);
        if (!t || t->kind != HeldTemporary::Kind::File || QFileInfo(folder.filePath(file)).isSymLink() ||
            QFileInfo::exists(folder.filePath(file)))
            return false;
        struct stat st;
        return ::lstat(QFile::encodeName(folder.filePath(name)).constData(), &st) == 0 && S_ISREG(st.st_mode) &&
               std::time(nullptr) - st.st_mtime >= minimumAge.count();
    }
    return false;
}

} // namespace

namespace Leftovers {

bool matches(const QString& name, const QString& pattern)
{
    QString expression = QRegularExpression::escape(pattern);
    expression.replace(QStringLiteral("XXXXXX"), QStringLiteral("[A-Za-z0-9]{6}"));
    return QRegularExpression(QRegularExpression::anchoredPattern(expression)).match(name).hasMatch();
}

QStringList removeDead(const QString& dir, Place place, std::chrono::seconds minimumAge)
{
    QDir folder(dir);
    const QStringList names =
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    QStringList removed;
    for (const QString& name : names) {
        const Temporary* t = temporaryNamed(name, place);
        if (!t)
            continue;
        const QString path = folder.filePath(name);
        std::optional<HeldTemporary> dead = HeldTemporary::takeOver(path, t->kind, minimumAge);
        if (!dead)
            continue;
        if (&t->pattern == &RestoreWork && RestoreSwitch::isReady(path)) {
            dead->keep();
            continue;
        }
        dead.reset(); // removes it
        if (!QFileInfo::exists(path))
            removed << name;
    }
    for (const QString& name : names) {
        if (isOrphanedJournal(folder, name, place, minimumAge) && folder.remove(name))
            removed << name;
    }
    return removed;
}

} // namespace Leftovers
