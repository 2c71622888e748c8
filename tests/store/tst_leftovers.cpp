#include "store/Database.h"
#include "store/HeldTemporary.h"
#include "store/Leftovers.h"
#include "store/StoreBackup.h"
#include "store/StoreError.h"
#include "store/StoreSetup.h"
#include "support/KilledCommands.h"
#include "support/TestStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sqlite3.h> // a lock on the store that keeps a backup waiting, taken without the store's rules

using namespace KilledCommands;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes = QByteArray(4096, 'x'))
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A file, or a directory with a file in it, as a command makes it.
bool leave(const QString& path, bool directory)
{
    if (directory)
        return QDir().mkdir(path) && writeFile(QDir(path).filePath(QStringLiteral("workload.sqlite3")));
    return writeFile(path);
}

// What killed commands of every kind leave in a data directory.
const QStringList DeadInDataDirectory{
    QStringLiteral("dbtemp-Ab12Cd.db"),          QStringLiteral("temp-Ef34Gh.dbf"),
    QStringLiteral(".workload-Ij56Kl.part"),     QStringLiteral(".workload-Ij56Kl.part-journal"),
    QStringLiteral(".workload-restore-Mn78Op"),  QStringLiteral(".workload-new-Qr90St"),
    QStringLiteral(".workload-Uv12Wx.part-wal"), // its copy is gone already
};
// Files that only look like temporaries, or are the operator's.
const QStringList Bystanders{QStringLiteral("bt.dbt"), QStringLiteral("dbtemp.db"), QStringLiteral("notes.part"),
                             QStringLiteral("dbtemp-Ab12C.db")};

bool leaveAll(const QString& dir, const QStringList& names)
{
    for (const QString& name : names) {
        const QString path = QDir(dir).filePath(name);
        const bool directory =
            name.startsWith(QStringLiteral(".workload-restore-")) || name.startsWith(QStringLiteral(".workload-new-"));
        if (!leave(path, directory) || !makeOld(path)) // left an hour ago
            return false;
    }
    return true;
}

QStringList present(const QString& dir, const QStringList& names)
{
    QStringList found;
    for (const QString& name : names) {
        if (QFileInfo::exists(QDir(dir).filePath(name)))
            found << name;
    }
    return found;
}

// A connection that holds the store's exclusive lock: a backup of it waits, its copy half made.
std::unique_ptr<sqlite3, int (*)(sqlite3*)> lockExclusively(const QString& store)
{
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(store).constData(), &db);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> connection(db, sqlite3_close);
    // In rollback mode an exclusive transaction keeps every reader out.
    if (sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return {nullptr, sqlite3_close};
    return connection;
}

QStringList backupCopies(const QString& dir)
{
    QStringList copies;
    for (const QString& name : entries(dir)) {
        if (Leftovers::matches(name, Leftovers::BackupCopy))
            copies << name;
    }
    return copies;
}

} // namespace

// What a killed command leaves behind goes with the next command, never what a running one works on.
class TestLeftovers : public QObject
{
    Q_OBJECT
private slots:
    void deadTemporariesGo_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");  // file, directory, link
        QTest::addColumn<QString>("state"); // dead, young, held, marked
        QTest::addColumn<bool>("backupFolder");
        QTest::addColumn<bool>("removed");
        QTest::newRow("an import's Paradox copy") << "dbtemp-Ab12Cd.db"
                                                  << "file"
                                                  << "dead" << false << true;
        QTest::newRow("an import's dBASE copy") << "temp-Ab12Cd.dbf"
                                                << "file"
                                                << "dead" << false << true;
        QTest::newRow("a backup's copy") << ".workload-Ab12Cd.part"
                                         << "file"
                                         << "dead" << false << true;
        QTest::newRow("a restore's work") << ".workload-restore-Ab12Cd"
                                          << "directory"
                                          << "dead" << false << true;
        QTest::newRow("a store being built") << ".workload-new-Ab12Cd"
                                             << "directory"
                                             << "dead" << false << true;
        QTest::newRow("a backup's copy in its folder") << ".workload-Ab12Cd.part"
                                                       << "file"
                                                       << "dead" << true << true;
        QTest::newRow("a running import's copy") << "dbtemp-Ab12Cd.db"
                                                 << "file"
                                                 << "held" << false << false;
        QTest::newRow("a running restore's work") << ".workload-restore-Ab12Cd"
                                                  << "directory"
                                                  << "held" << false << false;
        QTest::newRow("a running backup's copy") << ".workload-Ab12Cd.part"
                                                 << "file"
                                                 << "held" << true << false;
        // Made a moment ago: its command may not have locked it yet.
        QTest::newRow("a copy made just now") << "dbtemp-Ab12Cd.db"
                                              << "file"
                                              << "young" << false << false;
        // Ready to be put in the store's place: the restore is completed, not thrown away.
        QTest::newRow("a restore marked ready") << ".workload-restore-Ab12Cd"
                                                << "directory"
                                                << "marked" << false << false;
        QTest::newRow("an import's name in a backup folder") << "dbtemp-Ab12Cd.db"
                                                             << "file"
                                                             << "dead" << true << false;
        QTest::newRow("five random characters") << "dbtemp-Ab12C.db"
                                                << "file"
                                                << "dead" << false << false;
        QTest::newRow("another ending") << "dbtemp-Ab12Cd.db.txt"
                                        << "file"
                                        << "dead" << false << false;
        QTest::newRow("an operator's file") << "bt.dbt"
                                            << "file"
                                            << "dead" << false << false;
        QTest::newRow("a link named as a copy") << "dbtemp-Ab12Cd.db"
                                                << "link"
                                                << "dead" << false << false;
        QTest::newRow("a directory named as a file") << "dbtemp-Ab12Cd.db"
                                                     << "directory"
                                                     << "dead" << false << false;
    }
    void deadTemporariesGo()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QString, state);
        QFETCH(bool, backupFolder);
        QFETCH(bool, removed);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        const QString target = dir.filePath(QStringLiteral("target.db"));
        if (kind == u"link") {
            QVERIFY(writeFile(target));
            QVERIFY(QFile::link(target, path));
        } else {
            QVERIFY(leave(path, kind == u"directory"));
        }
        if (state == u"marked")
            QVERIFY(writeFile(QDir(path).filePath(QStringLiteral("restore-ready")), "backup.sqlite3"));
        if (state != u"young")
            QVERIFY(makeOld(path));
        Holder holder(path);
        if (state == u"held")
            QVERIFY(holder.lock());

        const QStringList gone = Leftovers::removeDead(dir.path(), backupFolder ? Leftovers::Place::BackupFolder
                                                                                : Leftovers::Place::DataDirectory);
        QCOMPARE(!QFileInfo(path).exists() && !QFileInfo(path).isSymLink(), removed);
        QCOMPARE(gone, removed ? QStringList{name} : QStringList());
        if (kind == u"link")
            QVERIFY(QFileInfo::exists(target));
    }

    // SQLite's journals go with their copy, and alone once the copy is gone; never beside a copy
    // that a running backup holds.
    void journalsGoWithTheirCopy_data()
    {
        QTest::addColumn<bool>("withCopy");
        QTest::addColumn<bool>("held");
        QTest::addColumn<bool>("old");
        QTest::addColumn<bool>("removed");
        QTest::newRow("beside a dead copy") << true << false << true << true;
        QTest::newRow("beside a running backup's copy") << true << true << true << false;
        QTest::newRow("their copy gone") << false << false << true << true;
        QTest::newRow("their copy gone just now") << false << false << false << false;
    }
    void journalsGoWithTheirCopy()
    {
        QFETCH(bool, withCopy);
        QFETCH(bool, held);
        QFETCH(bool, old);
        QFETCH(bool, removed);
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral(".workload-Ab12Cd.part"));
        const QStringList journals{copy + QStringLiteral("-journal"), copy + QStringLiteral("-wal"),
                                   copy + QStringLiteral("-shm")};
        if (withCopy)
            QVERIFY(leave(copy, false) && makeOld(copy));
        for (const QString& journal : journals) {
            QVERIFY(writeFile(journal));
            if (old)
                QVERIFY(makeOld(journal));
        }
        Holder holder(copy);
        if (held)
            QVERIFY(holder.lock());
        Leftovers::removeDead(dir.path(), Leftovers::Place::BackupFolder);
        for (const QString& journal : journals)
            QCOMPARE(QFileInfo::exists(journal), !removed);
        QCOMPARE(QFileInfo::exists(copy), withCopy && !removed);
    }

    // A temporary is held from its making until it goes; one that is kept is let go, not removed.
    void aTemporaryIsHeldWhileItsOwnerLives_data()
    {
        QTest::addColumn<bool>("directory");
        QTest::newRow("file") << false;
        QTest::newRow("directory") << true;
    }
    void aTemporaryIsHeldWhileItsOwnerLives()
    {
        QFETCH(bool, directory);
        using Kind = HeldTemporary::Kind;
        const Kind kind = directory ? Kind::Directory : Kind::File;
        QTemporaryDir dir;
        QString path;
        {
            HeldTemporary made = HeldTemporary::create(kind, dir.filePath(QStringLiteral("work-XXXXXX.tmp")));
            path = made.path();
            QVERIFY(Leftovers::matches(QFileInfo(path).fileName(), QStringLiteral("work-XXXXXX.tmp")));
            QCOMPARE(QFileInfo(path).isDir(), directory);
            QCOMPARE(QFileInfo(path).permissions() & QFile::Permissions(0x0077), QFile::Permissions());
            QVERIFY(makeOld(path));
            QVERIFY(!HeldTemporary::takeOver(path, kind, Leftovers::MinimumAge));
            made.keep();
        }
        QVERIFY(QFileInfo::exists(path));
        {
            std::optional<HeldTemporary> taken = HeldTemporary::takeOver(path, kind, Leftovers::MinimumAge);
            QVERIFY(taken);
            QVERIFY(!HeldTemporary::takeOver(path, kind, std::chrono::seconds(0)));
        }
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY_THROWS_EXCEPTION(StoreError,
                                 HeldTemporary::create(kind, dir.filePath(QStringLiteral("missing/work-XXXXXX"))));
    }

    // Every command, and the start of any, removes what killed commands left in the data
    // directory (a backup also in its target's folder), and leaves alone the temporary of a
    // command that still runs and the operator's own files.
    void commandsRemoveWhatKilledOnesLeft_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("backup") << "backup";
        QTest::newRow("restore") << "restore";
        QTest::newRow("import") << "import";
        QTest::newRow("init") << "init";
        QTest::newRow("any command") << "sql";
    }
    void commandsRemoveWhatKilledOnesLeft()
    {
        QFETCH(QString, command);
        TestStore store;
        const QString data = store.dir();
        QTemporaryDir folder;
        const QString backup = folder.filePath(QStringLiteral("saved.sqlite3"));
        StoreBackup::backup(data, backup);
        QVERIFY(writeFile(folder.filePath(QStringLiteral("bt.dbt"))));
        QVERIFY(leaveAll(data, DeadInDataDirectory + Bystanders));
        const QStringList deadInFolder{QStringLiteral(".workload-Zz99Yy.part"),
                                       QStringLiteral(".workload-Zz99Yy.part-journal")};
        QVERIFY(leaveAll(folder.path(), deadInFolder));
        // Temporaries of commands that run now, in another process: old, but held.
        const QString running = QDir(data).filePath(QStringLiteral("dbtemp-Run123.db"));
        const QString runningBackup = folder.filePath(QStringLiteral(".workload-Run123.part"));
        QVERIFY(leave(running, false) && leave(runningBackup, false) && makeOld(running) && makeOld(runningBackup));
        Holder holder(running), backupHolder(runningBackup);
        QVERIFY(holder.lock() && backupHolder.lock());

        QStringList args{QStringLiteral("--dir"), data, command};
        if (command == u"backup")
            args << folder.filePath(QStringLiteral("again.sqlite3"));
        else if (command == u"restore")
            args << backup;
        else if (command == u"import")
            args << folder.filePath(QStringLiteral("bt.dbt"));
        else if (command == u"init")
            args << QStringLiteral("--force");
        else
            args << QStringLiteral("select 1");
        const ChildRun run = runChild(QStringLiteral(WORKLOADCTL), args);
        // The import is refused (the file is no exchange file) after its copy was made.
        QVERIFY2(run.status == (command == u"import" ? 1 : 0), qPrintable(run.err));

        QCOMPARE(present(data, DeadInDataDirectory), QStringList());
        QCOMPARE(present(data, Bystanders), Bystanders);
        QVERIFY(QFileInfo::exists(running));
        QVERIFY(QFileInfo::exists(runningBackup));
        QCOMPARE(present(folder.path(), deadInFolder), command == u"backup" ? QStringList() : deadInFolder);
    }

    // A backup killed while it copies leaves its copy; the next backup removes it. A backup
    // started beside a running one leaves that one's copy alone, and both complete.
    void killedAndRunningBackups()
    {
        QTemporaryDir dataDir, folder;
        const QString data = dataDir.path();
        StoreSetup::createStore(data, false);
        auto lock = lockExclusively(Database::storePath(data));
        QVERIFY(lock);

        QProcess killed;
        killed.start(QStringLiteral(WORKLOADCTL),
                     {QStringLiteral("--dir"), data, QStringLiteral("backup"), folder.filePath(QStringLiteral("a"))});
        QVERIFY(waitUntil([&] { return backupCopies(folder.path()).size() == 1; }));
        const QString left = folder.filePath(backupCopies(folder.path()).constFirst());
        killed.kill(); // SIGKILL
        QVERIFY(killed.waitForFinished());
        QVERIFY(makeOld(left));

        QProcess running;
        running.start(QStringLiteral(WORKLOADCTL),
                      {QStringLiteral("--dir"), data, QStringLiteral("backup"), folder.filePath(QStringLiteral("b"))});
        // It has cleaned the folder and made its own copy; the dead one has gone.
        QVERIFY(waitUntil([&] { return !QFileInfo::exists(left) && backupCopies(folder.path()).size() == 1; }));
        const QString runningCopy = folder.filePath(backupCopies(folder.path()).constFirst());
        QVERIFY(makeOld(runningCopy));

        const ChildRun beside = [&] {
            QProcess second;
            second.start(QStringLiteral(WORKLOADCTL), {QStringLiteral("--dir"), data, QStringLiteral("backup"),
                                                       folder.filePath(QStringLiteral("c"))});
            const bool started = waitUntil([&] { return backupCopies(folder.path()).size() == 2; });
            lock.reset(); // the store is free: both backups go on
            second.waitForFinished(120000);
            return ChildRun{started ? second.exitCode() : -1, {}, QString::fromUtf8(second.readAllStandardError())};
        }();
        QVERIFY2(beside.status == 0, qPrintable(beside.err));
        QVERIFY(running.waitForFinished(120000));
        QCOMPARE(running.exitCode(), 0);
        QCOMPARE(entries(folder.path()), QStringList({QStringLiteral("b"), QStringLiteral("c")}));
        for (const QString& copy : {QStringLiteral("b"), QStringLiteral("c")})
            QCOMPARE(StoreBackup::check(folder.filePath(copy)), StoreBackup::check(Database::storePath(data)));
    }
};

QTEST_GUILESS_MAIN(TestLeftovers)
#include "tst_leftovers.moc"
