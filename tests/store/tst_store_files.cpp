#include "store/Database.h"
#include "store/StoreBackup.h"
#include "store/StoreError.h"
#include "store/StoreFiles.h"
#include "store/StoreSchema.h"
#include "store/StoreSetup.h"
#include "support/TestStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h> // a foreign database and a concurrent writer, made without the store's rules

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

void sqlite(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

// Owner, group and other permissions (Qt's "user" bits are the process's view of them).
QFile::Permissions modeOf(const QString& path)
{
    return QFile::permissions(path) & QFile::Permissions(0x7077);
}

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestStoreFiles : public QObject
{
    Q_OBJECT
private slots:
    // A file that is not one of this program's stores is refused without a single byte written:
    // no journal mode switched, no journal files made.
    void foreignFilesAreRefusedUntouched_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("zero length") << "empty";
        QTest::newRow("another program's database") << "foreign";
        QTest::newRow("not a database at all") << "garbage";
        QTest::newRow("a store of a newer program") << "newer";
    }
    void foreignFilesAreRefusedUntouched()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = Database::storePath(dir.path());
        if (kind == u"empty")
            writeFile(path, {});
        else if (kind == u"garbage")
            writeFile(path, QByteArray(4096, 'x'));
        else if (kind == u"foreign")
            sqlite(path, "create table notes (t text); insert into notes values ('x')");
        else {
            StoreSetup::createStore(dir.path(), false);
            sqlite(path, "PRAGMA user_version=99");
        }
        const QByteArray before = bytesOf(path);
        const QStringList files = entries(dir.path());
        try {
            Database::open(dir.path());
            QFAIL("the file was taken as a store");
        } catch (const StoreError& e) {
            QVERIFY2(e.text().contains(kind == u"newer" ? QStringLiteral("比本程序新")
                                                        : QStringLiteral("不是本系统的数据库")),
                     qPrintable(e.text()));
        }
        QCOMPARE(bytesOf(path), before);
        QCOMPARE(entries(dir.path()), files);
    }

    // A store is built aside and moved into place only when complete: a failure while it is
    // being filled (a full disk) leaves nothing behind, and the next attempt is not blocked.
    void aFailedCreationLeavesNothing()
    {
        QTemporaryDir dir;
        QVERIFY_THROWS_EXCEPTION(StoreError, StoreSetup::createStore(dir.path(), false, [](const QString&) {
                                     throw StoreError(QStringLiteral("database or disk is full"), {},
                                                      StoreError::Kind::DiskFull);
                                 }));
        QCOMPARE(entries(dir.path()), QStringList());
        StoreSetup::createStore(dir.path(), false);
        QCOMPARE(entries(dir.path()), QStringList{QString::fromLatin1(Database::FileName)});
        QVERIFY(Database::open(dir.path()));
    }

    void replacingDropsTheOldJournal()
    {
        TestStore store;
        store.db().execute(QStringLiteral("insert into yuanbu (mc) values ('旧院')"));
        StoreSetup::createStore(store.dir(), true);
        TestStore::Reopened fresh(store.dir());
        QCOMPARE(fresh.count(QStringLiteral("yuanbu")), 0);
    }

    void commitsAreWrittenThrough()
    {
        TestStore store;
        // 2 = FULL: in WAL mode a commit survives a power cut.
        QCOMPARE(store.scalar(QStringLiteral("PRAGMA synchronous")), QStringLiteral("2"));
    }

    // A backup taken while another connection is in the middle of a write holds exactly what
    // was committed, passes the store's integrity check and opens as a store.
    void backupWhileAWriterIsActive()
    {
        TestStore store(true);
        const int committed = store.count(QStringLiteral("gzl"));
        auto writer = Database::open(store.dir());
        writer->begin();
        writer->execute(QStringLiteral("delete from gzl"));
        writer->execute(QStringLiteral("insert into yuanbu (mc) values ('未提交')"));

        QTemporaryDir out;
        const QString copy = out.filePath(QStringLiteral("copy.sqlite3"));
        QCOMPARE(StoreBackup::backup(store.dir(), copy), StoreSchema::Version);
        writer->rollback();

        QCOMPARE(entries(out.path()), QStringList{QStringLiteral("copy.sqlite3")});
        QCOMPARE(StoreBackup::check(copy), StoreSchema::Version);
        QVERIFY(QFile::copy(copy, Database::storePath(out.path())));
        TestStore::Reopened restored(out.path());
        QCOMPARE(restored.count(QStringLiteral("gzl")), committed);
        QCOMPARE(restored.count(QStringLiteral("yuanbu"), QStringLiteral("mc='未提交'")), 0);
    }

    void restoreChecksTheFileAndKeepsTheReplacedStore_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("refusal"); // empty: restored
        QTest::newRow("a backup") << "backup" << QString();
        QTest::newRow("a backup of an older layout") << "older" << QString();
        // A store that another program still writes to: its last commits are in the journal.
        QTest::newRow("a live store") << "live" << QString();
        QTest::newRow("no such file") << "missing" << QStringLiteral("没有文件");
        QTest::newRow("not a store") << "foreign" << QStringLiteral("不是本系统的数据库");
        QTest::newRow("not a database at all") << "garbage" << QStringLiteral("不是本系统的数据库");
        QTest::newRow("another program's tables, current layout")
            << "lookalike" << QStringLiteral("不是本系统的数据库");
        QTest::newRow("another program's tables, old layout")
            << "old lookalike" << QStringLiteral("不是本系统的数据库");
        QTest::newRow("damaged") << "damaged" << QStringLiteral("数据库已损坏");
    }
    void restoreChecksTheFileAndKeepsTheReplacedStore()
    {
        QFETCH(QString, kind);
        QFETCH(QString, refusal);
        TestStore source(true);
        QTemporaryDir files;
        QString file = files.filePath(QStringLiteral("backup.sqlite3"));
        if (kind == u"backup" || kind == u"damaged" || kind == u"older")
            StoreBackup::backup(source.dir(), file);
        if (kind == u"older")
            sqlite(file, "PRAGMA user_version=4");
        if (kind == u"live") {
            source.db().execute(QStringLiteral("insert into yuanbu (mc) values ('日志中的院')"));
            file = Database::storePath(source.dir());
            QVERIFY(QFileInfo(file + QStringLiteral("-wal")).size() > 0);
        }
        if (kind == u"foreign")
            sqlite(file, "create table notes (t text)");
        if (kind == u"garbage")
            writeFile(file, QByteArray(8192, 'x'));
        if (kind == u"lookalike")
            sqlite(file, "create table gzl(a); create table rydm(b); create table system(c); PRAGMA user_version=5");
        if (kind == u"old lookalike")
            sqlite(file, "create table gzl(a); create table rydm(b); create table system(c); PRAGMA user_version=1");
        if (kind == u"damaged") {
            // A page in the middle of the file overwritten: the integrity check finds it.
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek(f.size() / 2);
            f.write(QByteArray(4096, '\xA5'));
        }

        QTemporaryDir target;
        StoreSetup::createStore(target.path(), false);
        {
            auto db = Database::open(target.path());
            db->execute(QStringLiteral("insert into yuanbu (mc) values ('本地院')"));
        }
        const QString dir = target.path();
        const QStringList before = entries(dir);
        const QByteArray storeBytes = bytesOf(Database::storePath(dir));
        QString kept;
        try {
            kept = StoreBackup::restore(dir, file);
            QVERIFY2(refusal.isEmpty(), "a bad file was restored");
        } catch (const StoreError& e) {
            QVERIFY2(!refusal.isEmpty() && e.text().contains(refusal), qPrintable(e.text()));
            // Refused before anything in the data directory was touched.
            QCOMPARE(entries(dir), before);
            QCOMPARE(bytesOf(Database::storePath(dir)), storeBytes);
            return;
        }
        QVERIFY(kept.startsWith(Database::storePath(dir) + u'.') && kept.endsWith(QStringLiteral(".bak")));
        QCOMPARE(entries(dir), QStringList({QStringLiteral("workload.sqlite3"), QFileInfo(kept).fileName()}));
        QCOMPARE(StoreBackup::check(Database::storePath(dir)), StoreSchema::Version);
        TestStore::Reopened restored(dir);
        QCOMPARE(restored.count(QStringLiteral("gzl")), source.count(QStringLiteral("gzl")));
        QCOMPARE(restored.count(QStringLiteral("yuanbu"), QStringLiteral("mc='本地院'")), 0);
        QCOMPARE(restored.count(QStringLiteral("yuanbu"), QStringLiteral("mc='日志中的院'")), kind == u"live" ? 1 : 0);
        QCOMPARE(StoreBackup::check(kept), StoreSchema::Version);
    }

    // Two restores within one second keep both replaced stores; the store keeps its permissions.
    void everyReplacedStoreIsKept()
    {
        TestStore source(true);
        QTemporaryDir files;
        const QString file = files.filePath(QStringLiteral("backup.sqlite3"));
        StoreBackup::backup(source.dir(), file);

        QTemporaryDir target;
        const QString dir = target.path();
        StoreSetup::createStore(dir, false);
        {
            auto db = Database::open(dir);
            db->execute(QStringLiteral("insert into yuanbu (mc) values ('本地院')"));
        }
        const QFile::Permissions mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(Database::storePath(dir), mode));
        const QString first = StoreBackup::restore(dir, file);
        const QString second = StoreBackup::restore(dir, file);
        QVERIFY(first != second);
        QVERIFY(QFileInfo::exists(first) && QFileInfo::exists(second));
        QCOMPARE(modeOf(Database::storePath(dir)), mode);
        QVERIFY(QFile::copy(first, Database::storePath(files.path())));
        TestStore::Reopened kept(files.path());
        QCOMPARE(kept.count(QStringLiteral("yuanbu"), QStringLiteral("mc='本地院'")), 1);
    }

    void backupOntoTheStoreItselfIsRefused_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("the store") << "";
        QTest::newRow("its journal") << "-wal";
    }
    void backupOntoTheStoreItselfIsRefused()
    {
        QFETCH(QString, suffix);
        TestStore store;
        store.db().execute(QStringLiteral("insert into yuanbu (mc) values ('本地院')"));
        const QString target = Database::storePath(store.dir()) + suffix;
        QVERIFY(QFileInfo::exists(target));
        const QStringList before = entries(store.dir());
        QVERIFY_THROWS_EXCEPTION(StoreError, StoreBackup::backup(store.dir(), target));
        QCOMPARE(entries(store.dir()), before);
        QCOMPARE(store.count(QStringLiteral("yuanbu"), QStringLiteral("mc='本地院'")), 1);
    }

    // A backup has the permissions of the store it copies, also under a name near the limit.
    void backupKeepsTheStorePermissions()
    {
        TestStore store;
        const QFile::Permissions mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
        QVERIFY(QFile::setPermissions(Database::storePath(store.dir()), mode));
        QTemporaryDir out;
        const QString copy = out.filePath(QString(250, u'a'));
        StoreBackup::backup(store.dir(), copy);
        QCOMPARE(modeOf(copy), mode);
        QCOMPARE(entries(out.path()), QStringList{QString(250, u'a')});
    }

    // Giving a file the store's permissions and writing a file through to the disk say when they
    // fail, rather than leave a copy with other permissions or unwritten without a word.
    void fileStepsThatFailSaySo_data()
    {
        QTest::addColumn<bool>("permissions");
        QTest::newRow("permissions") << true;
        QTest::newRow("sync") << false;
    }
    void fileStepsThatFailSaySo()
    {
        QFETCH(bool, permissions);
        QTemporaryDir dir;
        const QString present = dir.filePath(QStringLiteral("present"));
        writeFile(present, "x");
        const QString missing = dir.filePath(QStringLiteral("missing"));
        try {
            if (permissions)
                StoreFiles::copyPermissions(present, missing);
            else
                StoreFiles::sync(missing);
            QFAIL("no error");
        } catch (const StoreError& e) {
            QCOMPARE(e.kind(), ProgramError::Kind::Io);
            QVERIFY2(e.text().contains(missing), qPrintable(e.text()));
        }
    }
};

QTEST_GUILESS_MAIN(TestStoreFiles)
#include "tst_store_files.moc"
