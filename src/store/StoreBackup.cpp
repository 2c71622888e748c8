#include "store/StoreBackup.h"

#include "store/Database.h"
#include "store/GbkFunctions.h"
#include "store/StoreError.h"
#include "store/StoreFiles.h"
#include "store/StoreSchema.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QUrl>

#include <memory>

#include <sqlite3.h>

namespace {

using Connection = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;

StoreError storageError(const QString& text)
{
    return StoreError(text, {}, StoreError::Kind::Storage);
}

Connection openFile(const QString& path, int flags)
{
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags | SQLITE_OPEN_URI, nullptr);
    Connection connection(db, sqlite3_close_v2);
    if (rc != SQLITE_OK)
        throw storageError(QStringLiteral("不能打开 %1: %2").arg(path, QString::fromUtf8(sqlite3_errstr(rc))));
    sqlite3_busy_timeout(db, Database::BusyWaitMs);
    // The tables' checks and indexes use them; the integrity check evaluates both.
    if (!GbkFunctions::add(db))
        throw storageError(QString::fromUtf8(sqlite3_errmsg(db)));
    return connection;
}

// The values of a statement's first column, as text.
QStringList column(sqlite3* db, const char* sql)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK)
        throw storageError(QString::fromUtf8(sqlite3_errmsg(db)));
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(stmt, sqlite3_finalize);
    QStringList values;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        values << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    if (rc != SQLITE_DONE)
        throw storageError(QString::fromUtf8(sqlite3_errmsg(db)));
    return values;
}

void exec(sqlite3* db, const char* sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
        sqlite3_free(message);
        throw storageError(text);
    }
}

// A temporary file beside `path`, removed again unless it was renamed into place.
std::unique_ptr<QTemporaryFile> temporaryBeside(const QString& path)
{
    auto file = std::make_unique<QTemporaryFile>(path + QStringLiteral(".part-XXXXXX"));
    if (!file->open())
        throw storageError(QStringLiteral("不能建立临时文件 %1: %2").arg(path, file->errorString()));
    file->close();
    return file;
}

void copyStore(const QString& dataDir, const QString& target)
{
    Connection source = openFile(Database::storePath(dataDir), SQLITE_OPEN_READONLY);
    Connection copy = openFile(target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    sqlite3_backup* backup = sqlite3_backup_init(copy.get(), "main", source.get(), "main");
    if (!backup)
        throw storageError(QString::fromUtf8(sqlite3_errmsg(copy.get())));
    int rc;
    // All pages in one step: one consistent snapshot of the committed store, however busy it is.
    while ((rc = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED)
        sqlite3_sleep(50);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        throw StoreError(QString::fromUtf8(sqlite3_errmsg(copy.get())), {},
                         rc == SQLITE_FULL ? StoreError::Kind::DiskFull : StoreError::Kind::Storage);
    // The copy stands on its own: one file, no journal beside it.
    exec(copy.get(), "PRAGMA journal_mode=DELETE");
}

} // namespace

namespace StoreBackup {

namespace {

// The checks of check(), on `file`, naming `shown` in what they say.
int checkFile(const QString& file, const QString& shown)
{
    // Immutable: read as it lies, without locks, journals or any write.
    QUrl uri = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    uri.setQuery(QStringLiteral("immutable=1"));
    Connection db = openFile(QString::fromUtf8(uri.toEncoded()), SQLITE_OPEN_READONLY);
    QStringList integrity;
    QStringList version;
    QStringList tables;
    try {
        integrity = column(db.get(), "PRAGMA integrity_check");
        version = column(db.get(), "PRAGMA user_version");
        tables =
            column(db.get(), "select name from sqlite_master where type='table' and name in ('gzl','rydm','system')");
    } catch (const StoreError& e) {
        // A store whose pages are damaged, or a file that is no database of this kind at all.
        if ((sqlite3_errcode(db.get()) & 0xff) == SQLITE_CORRUPT)
            throw storageError(QStringLiteral("数据库已损坏: %1 (%2)").arg(shown, e.text()));
        throw storageError(QStringLiteral("不是本系统的数据库: %1 (%2)").arg(shown, e.text()));
    }
    if (integrity != QStringList{QStringLiteral("ok")})
        throw storageError(QStringLiteral("数据库已损坏: %1 (%2)").arg(shown, integrity.join(QStringLiteral("; "))));
    const int layout = version.value(0).toInt();
    if (layout < 1 || tables.size() != 3)
        throw storageError(QStringLiteral("不是本系统的数据库: %1").arg(shown));
    if (layout > StoreSchema::Version)
        throw storageError(QStringLiteral("数据库版本 %1 比本程序新 (本程序: %2): %3")
                               .arg(layout)
                               .arg(StoreSchema::Version)
                               .arg(shown));
    return layout;
}

} // namespace

int check(const QString& file)
{
    if (!QFileInfo(file).isFile())
        throw storageError(QStringLiteral("没有文件: %1").arg(file));
    return checkFile(file, file);
}

int backup(const QString& dataDir, const QString& target)
{
    if (!Database::exists(dataDir))
        throw storageError(QStringLiteral("数据目录中没有数据库: %1").arg(Database::storePath(dataDir)));
    auto part = temporaryBeside(QFileInfo(target).absoluteFilePath());
    copyStore(dataDir, part->fileName());
    const int layout = check(part->fileName());
    StoreFiles::replaceFile(part->fileName(), target);
    part->setAutoRemove(false);
    return layout;
}

QString restore(const QString& dataDir, const QString& source)
{
    if (!QFileInfo(source).isFile())
        throw storageError(QStringLiteral("没有文件: %1").arg(source));
    const QString store = Database::storePath(dataDir);
    // The copy goes beside the store first, so that the store is replaced in one rename.
    auto part = temporaryBeside(store);
    QFile::remove(part->fileName());
    if (!QFile::copy(source, part->fileName()))
        throw storageError(QStringLiteral("不能复制 %1 到 %2").arg(source, part->fileName()));
    // The copy is what goes into place, so it is what is checked.
    checkFile(part->fileName(), source);

    QString kept;
    if (QFileInfo::exists(store)) {
        {
            // Everything committed goes into the store file, so that the kept file is complete.
            Connection current = openFile(store, SQLITE_OPEN_READWRITE);
            exec(current.get(), "PRAGMA wal_checkpoint(TRUNCATE)");
        }
        kept = store +
               QStringLiteral(".%1.bak").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
        StoreFiles::replaceFile(store, kept);
    }
    for (const QString& suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(store + suffix);
    StoreFiles::replaceFile(part->fileName(), store);
    part->setAutoRemove(false);
    Database::open(dataDir);
    return kept;
}

} // namespace StoreBackup
