#include "store/StoreBackup.h"

#include "store/Database.h"
#include "store/GbkFunctions.h"
#include "store/HeldTemporary.h"
#include "store/Leftovers.h"
#include "store/StoreError.h"
#include "store/StoreFiles.h"
#include "store/StoreSchema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QUrl>

#include <memory>

#include <sqlite3.h>

namespace {

using Connection = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;

StoreError storageError(const QString& text)
{
    return StoreError(text, {}, StoreError::Kind::Io);
}

// A file that is not a store of this program, or one that is damaged.
StoreError notAStore(const QString& text)
{
    return StoreError(text, {}, StoreError::Kind::DamagedFile);
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

void copyDatabase(const QString& sourcePath, const QString& target)
{
    Connection source = openFile(sourcePath, SQLITE_OPEN_READONLY);
    Connection copy = openFile(target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    sqlite3_backup* backup = sqlite3_backup_init(copy.get(), "main", source.get(), "main");
    if (!backup)
        throw storageError(QString::fromUtf8(sqlite3_errmsg(copy.get())));
    int rc;
    // All pages in one step: one consistent snapshot of the committed store, however busy it is.
    while ((rc = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED)
        sqlite3_sleep(50);
    // The backup's own verdict: a step's failure (already in rc) or one of releasing it.
    if (const int finished = sqlite3_backup_finish(backup); rc == SQLITE_DONE && finished != SQLITE_OK)
        rc = finished;
    if (rc == SQLITE_NOTADB)
        throw notAStore(QStringLiteral("不是本系统的数据库: %1").arg(sourcePath));
    if (rc != SQLITE_DONE)
        throw StoreError(QString::fromUtf8(sqlite3_errmsg(copy.get())), {},
                         rc == SQLITE_FULL ? StoreError::Kind::DiskFull : StoreError::Kind::Io);
    // The copy stands on its own: one file, no journal beside it.
    exec(copy.get(), "PRAGMA journal_mode=DELETE");
}

} // namespace

namespace StoreBackup {

namespace {

// Read as the file lies, without locks, journals or any write.
Connection openImmutable(const QString& file)
{
    QUrl uri = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    uri.setQuery(QStringLiteral("immutable=1"));
    return openFile(QString::fromUtf8(uri.toEncoded()), SQLITE_OPEN_READONLY);
}

// The checks of check(), on `file`, naming `shown` in what they say.
int checkFile(const QString& file, const QString& shown)
{
    Connection db = openImmutable(file);
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
            throw notAStore(QStringLiteral("数据库已损坏: %1 (%2)").arg(shown, e.text()));
        throw notAStore(QStringLiteral("不是本系统的数据库: %1 (%2)").arg(shown, e.text()));
    }
    if (integrity != QStringList{QStringLiteral("ok")})
        throw notAStore(QStringLiteral("数据库已损坏: %1 (%2)").arg(shown, integrity.join(QStringLiteral("; "))));
    const int layout = version.value(0).toInt();
    if (layout < 1 || tables.size() != 3)
        throw notAStore(QStringLiteral("不是本系统的数据库: %1").arg(shown));
    if (layout > StoreSchema::Version)
        throw storageError(QStringLiteral("数据库版本 %1 比本程序新 (本程序: %2): %3")
                               .arg(layout)
                               .arg(StoreSchema::Version)
                               .arg(shown));
    return layout;
}

// Table name -> its column names, of every table of a database.
QMap<QString, QStringList> tableColumns(sqlite3* db)
{
    QMap<QString, QStringList> columns;
    for (const QString& table : column(db, "select name from sqlite_master where type='table'")) {
        const QByteArray sql = "select name from pragma_table_info('" + table.toUtf8().replace('\'', "''") + "')";
        columns.insert(table, column(db, sql.constData()));
    }
    return columns;
}

// Whether a store at the current layout has every table and column that a new store has; a
// file that merely carries a few of the same table names is another program's database.
void checkTables(const QString& file, const QString& shown)
{
    Connection reference = openFile(QStringLiteral(":memory:"), SQLITE_OPEN_READWRITE);
    for (const QString& statement : StoreSchema::createStatements())
        exec(reference.get(), statement.toUtf8().constData());
    Connection db = openImmutable(file);
    const QMap<QString, QStringList> present = tableColumns(db.get());
    const QMap<QString, QStringList> expected = tableColumns(reference.get());
    for (auto table = expected.cbegin(); table != expected.cend(); ++table) {
        const QStringList have = present.value(table.key());
        for (const QString& name : table.value()) {
            if (!have.contains(name, Qt::CaseInsensitive))
                throw notAStore(QStringLiteral("不是本系统的数据库: %1 (没有 %2.%3)").arg(shown, table.key(), name));
        }
    }
}

// The source copied into `dir` as a store (through the online backup, so that what a live
// store still holds in its journal comes along), checked, brought to the current layout and
// checked again. Nothing outside `dir` is written.
void prepareCopy(const QString& source, const QString& dir)
{
    const QString copy = Database::storePath(dir);
    copyDatabase(source, copy);
    checkFile(copy, source);
    try {
        Database::open(dir); // upgrades an older layout, closed again at once
    } catch (const StoreError& e) {
        e.throwIfStoreState();
        throw notAStore(QStringLiteral("不是本系统的数据库: %1 (%2)").arg(source, e.text()));
    }
    checkTables(copy, source);
    for (const QString& suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        if (QFileInfo::exists(copy + suffix))
            throw storageError(QStringLiteral("数据库副本仍在使用中: %1").arg(copy));
    }
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
    if (QFileInfo(target).isDir())
        throw storageError(QStringLiteral("%1 是一个目录，不是文件").arg(target));
    // A copy renamed over the store itself would take the store from under a running program.
    const QString store = QFileInfo(Database::storePath(dataDir)).canonicalFilePath();
    const QString targetPath = QFileInfo(target).canonicalFilePath();
    if (!targetPath.isEmpty() && (targetPath == store || targetPath == store + QStringLiteral("-wal") ||
                                  targetPath == store + QStringLiteral("-shm")))
        throw storageError(QStringLiteral("不能备份到数据库文件本身: %1").arg(target));
    const QString folder = QFileInfo(target).absolutePath();
    Leftovers::removeDead(folder, Leftovers::Place::BackupFolder);
    HeldTemporary part = HeldTemporary::create(HeldTemporary::Kind::File, QDir(folder).filePath(Leftovers::BackupCopy));
    copyDatabase(Database::storePath(dataDir), part.path());
    const int layout = check(part.path());
    StoreFiles::copyPermissions(QFileInfo::exists(target) ? target : Database::storePath(dataDir), part.path());
    StoreFiles::replaceFile(part.path(), target);
    part.keep();
    return layout;
}

QString restore(const QString& dataDir, const QString& source, const RestoreSwitch::StepObserver& observer)
{
    if (!QFileInfo(dataDir).isDir())
        throw storageError(QStringLiteral("没有数据目录: %1").arg(dataDir));
    if (!QFileInfo(source).isFile())
        throw storageError(QStringLiteral("没有文件: %1").arg(source));
    const QString store = Database::storePath(dataDir);
    // The copy is prepared in a directory beside the store, so that the store is replaced in
    // one rename and a refused file leaves nothing behind.
    HeldTemporary work =
        HeldTemporary::create(HeldTemporary::Kind::Directory, QDir(dataDir).filePath(Leftovers::RestoreWork));
    prepareCopy(source, work.path());
    Leftovers::removeDead(dataDir); // once the file is accepted: a refused one changes nothing
    StoreFiles::copyPermissions(QFileInfo::exists(store) ? store : source, Database::storePath(work.path()));
    if (observer)
        observer(QStringLiteral("prepared"));
    RestoreSwitch::markReady(work.path(), source);
    try {
        return RestoreSwitch::complete(work.path(), dataDir, observer);
    } catch (const StoreError&) {
        // Once the copy is in the store's place, the replaced store may be only in the work
        // directory: it stays for the next run to give it its kept name.
        if (!QFileInfo::exists(Database::storePath(work.path())))
            work.keep();
        throw;
    }
}

} // namespace StoreBackup
