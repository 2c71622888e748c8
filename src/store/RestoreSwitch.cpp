#include "store/RestoreSwitch.h"

#include "store/Database.h"
#include "store/StoreError.h"
#include "store/StoreFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include <sqlite3.h>

namespace {

StoreError storageError(const QString& text)
{
    return StoreError(text, {}, StoreError::Kind::Io);
}

bool present(const QString& path)
{
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

void step(const RestoreSwitch::StepObserver& observer, const char* name)
{
    if (observer)
        observer(QString::fromLatin1(name));
}

// Folds the store's write-ahead journal into the store, so that the file alone holds every commit.
void checkpoint(const QString& store)
{
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(store).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> connection(db, sqlite3_close_v2);
    if (rc != SQLITE_OK)
        throw storageError(QStringLiteral("不能打开 %1: %2").arg(store, QString::fromUtf8(sqlite3_errstr(rc))));
    sqlite3_busy_timeout(db, Database::BusyWaitMs);
    int busy = 0;
    char* message = nullptr;
    const auto firstColumn = [](void* out, int, char** values, char**) {
        *static_cast<int*>(out) = values[0] ? std::atoi(values[0]) : 0;
        return 0;
    };
    if (sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", firstColumn, &busy, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
        sqlite3_free(message);
        throw storageError(text);
    }
    // Its journal is about to go: a checkpoint that another connection kept from finishing would
    // lose the commits still in it.
    if (busy != 0)
        throw StoreError(QStringLiteral("数据库正被其他程序使用: %1").arg(store), {}, StoreError::Kind::Busy);
}

bool sameFile(const QString& a, const QString& b)
{
    struct stat sa, sb;
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// The store kept aside in the work directory as `replaced`: a second name of the same file, or a
// copy where the file system has no second names.
void keepAside(const QString& store, const QString& replaced)
{
    if (present(replaced)) {
        if (sameFile(store, replaced))
            return;
        // A copy of the store as it was before this run; if it cannot go, the link below fails and
        // the copy that follows replaces it.
        QFile::remove(replaced);
    }
    if (::link(QFile::encodeName(store).constData(), QFile::encodeName(replaced).constData()) == 0)
        return;
    const QString partial = replaced + QStringLiteral(".part");
    QFile::remove(partial); // if it cannot go, the copy onto it below fails and says why
    QFile original(store);
    if (!original.copy(partial))
        throw storageError(QStringLiteral("不能保存原有的数据库 %1: %2").arg(store, original.errorString()));
    StoreFiles::sync(partial);
    StoreFiles::replaceFile(partial, replaced);
}

// The journal files beside the store belong to the store being replaced: applied to the copy they
// would damage it.
void removeJournals(const QString& store)
{
    for (const QString& suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        QFile journal(store + suffix);
        if (journal.exists() && !journal.remove())
            throw storageError(QStringLiteral("不能删除 %1: %2").arg(journal.fileName(), journal.errorString()));
    }
}

// Gives the replaced store its kept name, one that no kept store has yet.
QString name(const QString& replaced, const QString& store)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString kept = store + QStringLiteral(".%1.bak").arg(stamp);
    for (int n = 2; !StoreFiles::moveWithoutReplacing(replaced, kept); ++n)
        kept = store + QStringLiteral(".%1-%2.bak").arg(stamp).arg(n);
    return kept;
}

} // namespace

namespace RestoreSwitch {

void markReady(const QString& workDir, const QString& source)
{
    StoreFiles::sync(Database::storePath(workDir));
    const QString marker = QDir(workDir).filePath(QString::fromLatin1(ReadyMarker));
    QFile file(marker);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || file.write(source.toUtf8()) < 0 || !file.flush())
        throw storageError(QStringLiteral("不能写入 %1: %2").arg(marker, file.errorString()));
    file.close();
    StoreFiles::sync(marker);
    StoreFiles::sync(workDir);
}

bool isReady(const QString& workDir)
{
    return QFileInfo(QDir(workDir).filePath(QString::fromLatin1(ReadyMarker))).isFile();
}

QString sourceOf(const QString& workDir)
{
    QFile marker(QDir(workDir).filePath(QString::fromLatin1(ReadyMarker)));
    return marker.open(QIODevice::ReadOnly) ? QString::fromUtf8(marker.readAll()) : QString();
}

QString complete(const QString& workDir, const QString& dataDir, const StepObserver& observer)
{
    QDir work(workDir);
    const QString copy = Database::storePath(workDir);
    const QString store = Database::storePath(dataDir);
    const QString replaced = work.filePath(QString::fromLatin1(Replaced));
    if (present(copy)) {
        if (present(store)) {
            step(observer, "checkpoint");
            checkpoint(store);
            step(observer, "keep aside");
            keepAside(store, replaced);
        }
        step(observer, "remove journals");
        removeJournals(store);
        step(observer, "switch");
        StoreFiles::replaceFile(copy, store);
        StoreFiles::sync(dataDir);
    }
    QString kept;
    if (present(replaced)) {
        step(observer, "name the kept store");
        kept = name(replaced, store);
        StoreFiles::sync(dataDir);
    }
    step(observer, "unmark");
    work.remove(QString::fromLatin1(ReadyMarker));
    step(observer, "done");
    return kept;
}

} // namespace RestoreSwitch
