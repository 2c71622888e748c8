#include "store/Database.h"
#include "store/GbkFunctions.h"
#include "store/StoreBackup.h"
#include "store/StoreSetup.h"
#include "support/KilledCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <unistd.h>

#include <sqlite3.h> // the store's journal and locks as another program leaves them

using namespace KilledCommands;

namespace {

const QString Local = QStringLiteral("本地院");     // in the store that a restore replaces
const QString Restored = QStringLiteral("恢复院");  // in the file restored
const QString Journaled = QStringLiteral("日志院"); // committed, still in the replaced store's journal

// Runs statements on a store file through a connection of its own; with `keepJournal` the commits
// stay in the write-ahead journal, as a program that was killed leaves them.
bool sqlite(const QString& path, const char* sql, bool keepJournal = false)
{
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK && GbkFunctions::add(db);
    if (ok && keepJournal)
        ok = sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr) == SQLITE_OK;
    ok = ok && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// The faculties of a store file, read as it lies.
QStringList faculties(const QString& path)
{
    sqlite3* db = nullptr;
    QStringList names;
    const QByteArray uri = "file:" + QFile::encodeName(path) + "?immutable=1";
    if (sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) == SQLITE_OK &&
        GbkFunctions::add(db)) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "select mc from yuanbu order by mc", -1, &stmt, nullptr);
        while (stmt && sqlite3_step(stmt) == SQLITE_ROW)
            names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return names;
}

QStringList keptStores(const QString& dir)
{
    return QDir(dir).entryList({QStringLiteral("workload.sqlite3.*.bak")}, QDir::Files, QDir::Name);
}

// A store with one faculty in a new data directory.
bool makeStore(const QString& dir, const QString& faculty)
{
    StoreSetup::createStore(dir, false);
    return sqlite(Database::storePath(dir),
                  QStringLiteral("insert into yuanbu (mc) values ('%1')").arg(faculty).toUtf8().constData());
}

// The file to restore: a backup of a store that has the faculty `Restored`.
struct Backup
{
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("backup.sqlite3"));
    Backup()
    {
        QTemporaryDir source;
        if (!makeStore(source.path(), Restored))
            qFatal("cannot make the store to back up");
        StoreBackup::backup(source.path(), file);
    }
};

// A connection holding a database file's exclusive lock: a restore of it waits while copying it.
std::unique_ptr<sqlite3, int (*)(sqlite3*)> lockExclusively(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> connection(db, sqlite3_close);
    if (sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return {nullptr, sqlite3_close};
    return connection;
}

ChildRun facultiesByCommand(const QString& dataDir)
{
    return runChild(QStringLiteral(WORKLOADCTL), {QStringLiteral("--dir"), dataDir, QStringLiteral("sql"),
                                                  QStringLiteral("select mc from yuanbu order by mc")});
}

} // namespace

// A restore killed at any moment: the next command (any of workloadctl's) completes it when its
// copy was complete and checked, and otherwise removes it; the data directory always has a store.
class TestRestoreRecovery : public QObject
{
    Q_OBJECT
private slots:
    void aKilledRestoreIsCompletedOrUndone_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<bool>("completed");
        QTest::newRow("checked copy, not yet marked") << "unmarked" << false;
        QTest::newRow("marked ready") << "marked" << true;
        QTest::newRow("replaced store's commits still in its journal") << "journal" << true;
        QTest::newRow("replaced store kept aside") << "kept aside" << true;
        QTest::newRow("copy in the store's place") << "switched" << true;
        QTest::newRow("replaced store named") << "named" << true;
        QTest::newRow("no store before") << "no store" << true;
        // A copy damaged after it was checked (a power cut) is not put in the store's place.
        QTest::newRow("marked copy damaged since") << "damaged" << false;
    }
    void aKilledRestoreIsCompletedOrUndone()
    {
        QFETCH(QString, left);
        QFETCH(bool, completed);
        const Backup backup;
        QTemporaryDir dir;
        const QString data = dir.path();
        const QString store = Database::storePath(data);
        const bool hadStore = left != u"no store";
        if (hadStore)
            QVERIFY(makeStore(data, Local));
        if (left == u"journal") {
            QVERIFY(sqlite(store, "insert into yuanbu (mc) values ('日志院')", true));
            QVERIFY(QFileInfo(store + QStringLiteral("-wal")).size() > 0);
        }
        const QString work =
            leaveRestoreWork(data, backup.file, left == u"unmarked" ? QString() : QStringLiteral("backup.sqlite3"));
        QVERIFY(!work.isEmpty());
        const QString copy = Database::storePath(work);
        if (left == u"kept aside") // a second name of the store, in the work directory
            QCOMPARE(::link(QFile::encodeName(store).constData(),
                            QFile::encodeName(QDir(work).filePath(QStringLiteral("replaced"))).constData()),
                     0);
        if (left == u"switched" || left == u"named") {
            const QString replaced = left == u"switched" ? QDir(work).filePath(QStringLiteral("replaced"))
                                                         : store + QStringLiteral(".20240101-120000.bak");
            QVERIFY(QFile::rename(store, replaced));
            QVERIFY(QFile::rename(copy, store));
        }
        if (left == u"damaged") {
            QFile f(copy);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek(f.size() / 2);
            f.write(QByteArray(4096, '\xA5'));
        }

        const ChildRun run = facultiesByCommand(data);
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(run.out.split(u'\n', Qt::SkipEmptyParts).mid(1), QStringList{completed ? Restored : Local});
        QVERIFY2(!QFileInfo::exists(work), qPrintable(entries(data).join(u' ')));
        const QStringList kept = keptStores(data);
        QCOMPARE(entries(data), QStringList{QStringLiteral("workload.sqlite3")} + kept);
        QCOMPARE(kept.size(), completed && hadStore ? 1 : 0);
        if (!kept.isEmpty()) {
            // The replaced store, with every commit, its journal's included; the journal is not
            // applied to the restored store.
            const QStringList expected = left == u"journal" ? QStringList{Local, Journaled} : QStringList{Local};
            QCOMPARE(faculties(QDir(data).filePath(kept.constFirst())), expected);
            if (left != u"named")
                QVERIFY2(run.err.contains(kept.constFirst()), qPrintable(run.err));
        }
        QCOMPARE(faculties(store), QStringList{completed ? Restored : Local});
        QCOMPARE(StoreBackup::check(store), StoreBackup::check(backup.file));
    }

    // Seen at each of its steps, a restore leaves what the next command completes: before the
    // copy is marked ready the store is the one it found, from then on the restored one.
    void everyStepLeavesAStore()
    {
        const Backup backup;
        QTemporaryDir dir, snapshots;
        const QString data = dir.path();
        QVERIFY(makeStore(data, Local));
        QStringList steps;
        StoreBackup::restore(data, backup.file, [&](const QString& step) {
            // What a kill here would leave: the disk as it is (hard links kept).
            const QString copy = snapshots.filePath(QString::number(steps.size()));
            steps << step;
            QCOMPARE(QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), data, copy}), 0);
        });
        QVERIFY(steps.size() >= 3);
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const QString copy = snapshots.filePath(QString::number(i));
            const ChildRun run = facultiesByCommand(copy);
            QVERIFY2(run.status == 0, qPrintable(steps[i] + QStringLiteral(": ") + run.err));
            const bool restored = steps[i] != u"prepared";
            QVERIFY2(run.out.contains(restored ? Restored : Local),
                     qPrintable(steps[i] + QStringLiteral(": ") + run.out));
            const QStringList kept = keptStores(copy);
            QCOMPARE(entries(copy), QStringList{QStringLiteral("workload.sqlite3")} + kept);
            QCOMPARE(kept.size(), restored ? 1 : 0);
            if (restored)
                QCOMPARE(faculties(QDir(copy).filePath(kept.constFirst())), QStringList{Local});
        }
        QCOMPARE(steps, QStringList({"prepared", "checkpoint", "keep aside", "remove journals", "switch",
                                     "name the kept store", "unmark", "done"}));
    }

    // A restore that runs (here: waiting for its file) is left alone by a command started beside
    // it, and completes; one killed while preparing is undone by the next command.
    void aRunningRestoreIsLeftAloneAKilledOneUndone()
    {
        const Backup backup;
        QTemporaryDir dir;
        const QString data = dir.path();
        QVERIFY(makeStore(data, Local));
        const auto workDirectory = [&] {
            const QStringList found =
                QDir(data).entryList({QStringLiteral(".workload-restore-*")}, QDir::Dirs | QDir::Hidden);
            return found.isEmpty() ? QString() : QDir(data).filePath(found.constFirst());
        };
        auto lock = lockExclusively(backup.file);
        QVERIFY(lock);

        QProcess running;
        running.start(QStringLiteral(WORKLOADCTL),
                      {QStringLiteral("--dir"), data, QStringLiteral("restore"), backup.file});
        QVERIFY(waitUntil([&] { return !workDirectory().isEmpty(); }));
        const QString work = workDirectory();
        QVERIFY(makeOld(work));
        ChildRun beside = facultiesByCommand(data);
        QVERIFY2(beside.status == 0, qPrintable(beside.err));
        QVERIFY(beside.out.contains(Local));
        QVERIFY(QFileInfo::exists(work));
        lock.reset();
        QVERIFY(running.waitForFinished(120000));
        QCOMPARE(running.exitCode(), 0);
        QCOMPARE(faculties(Database::storePath(data)), QStringList{Restored});

        lock = lockExclusively(backup.file);
        QVERIFY(lock);
        QProcess killed;
        killed.start(QStringLiteral(WORKLOADCTL),
                     {QStringLiteral("--dir"), data, QStringLiteral("restore"), backup.file});
        QVERIFY(waitUntil([&] {
            const QString work = workDirectory();
            return !work.isEmpty() && QFileInfo::exists(Database::storePath(work));
        }));
        killed.kill(); // SIGKILL
        QVERIFY(killed.waitForFinished());
        const QStringList before = keptStores(data);
        beside = facultiesByCommand(data);
        QVERIFY2(beside.status == 0, qPrintable(beside.err));
        QVERIFY(beside.out.contains(Restored));
        QCOMPARE(entries(data), QStringList{QStringLiteral("workload.sqlite3")} + before);
    }
};

QTEST_GUILESS_MAIN(TestRestoreRecovery)
#include "tst_restore_recovery.moc"
