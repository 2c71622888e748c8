#include "ExchangeFixtures.h"
#include "ImportFixtures.h"
#include "exchange/ParadoxFile.h"
#include "exchange/WorkloadExport.h"
#include "session/Selection.h"
#include "store/SqliteDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace ExchangeFixtures;
using namespace ImportFixtures;

namespace {

// Writes bytes over a file at a position.
void patch(const QString& path, qint64 at, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.seek(at));
    QCOMPARE(f.write(bytes), qint64(bytes.size()));
}

} // namespace

// How the import fails when the fault is not the file's: the staging copies, a busy store, a full
// disk, and rows that lack a column the export or the import reads.
class TestImportFailures : public QObject
{
    Q_OBJECT
private slots:
    // On a server store the import copies files among the temporary files: this suite's own, so
    // that it sees no other program's copies.
    void initTestCase()
    {
        QVERIFY(m_temporary.isValid());
        qputenv("TMPDIR", QFile::encodeName(m_temporary.path()));
    }

    // Two imports into one data directory at the same time each copy the file to a copy of their
    // own, and each copy goes once its rows are staged.
    void importsAtOnceStageTheirOwnCopies()
    {
        TestStore s;
        DataModule other;
        other.connectTo(s.location());
        QTemporaryDir dir;
        const QString path = writeFile(
            dir, {rowWith(QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 1)});
        WorkloadImport first(s.data()), second(other);
        first.makeCounters();
        second.makeCounters();
        QCOMPARE(first.copyToWorkCopy(path), WorkloadImport::Outcome::Ready);
        QCOMPARE(second.copyToWorkCopy(path), WorkloadImport::Outcome::Ready);
        QVERIFY(first.workCopy() != second.workCopy());
        for (const QString& copy : {first.workCopy(), second.workCopy()}) {
            QCOMPARE(QFileInfo(copy).absolutePath(), QFileInfo(workDirectory(s)).absoluteFilePath());
            QVERIFY(QFileInfo(copy).fileName().startsWith(QStringLiteral("dbtemp-")));
            QVERIFY(copy.endsWith(QStringLiteral(".db")));
        }
        QCOMPARE(stagingCopies(s).size(), 2);

        QCOMPARE(first.openWorkCopy(), WorkloadImport::Outcome::Ready);
        QCOMPARE(second.openWorkCopy(), WorkloadImport::Outcome::Ready);
        QCOMPARE(stagingCopies(s), QStringList());
        QCOMPARE(first.run().rows, 1);
        QCOMPARE(second.run().rows, 1);
        QCOMPARE(s.count(QStringLiteral("gzl")), 1);
    }

    void noStagingCopyRemains_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("outcome");
        using O = WorkloadImport::Outcome;
        QTest::newRow("imported dbt") << "bt.dbt"
                                      << "" << int(O::Ready);
        QTest::newRow("imported dbf") << "bt.dbf"
                                      << "" << int(O::Ready);
        QTest::newRow("foreign dbt") << "bt.dbt"
                                     << "foreign" << int(O::NotOurFile);
        QTest::newRow("foreign dbf") << "bt.dbf"
                                     << "foreign" << int(O::NotOurFile);
        QTest::newRow("only rows named 教师") << "bt.dbt"
                                              << "no rows" << int(O::NoRows);
        QTest::newRow("disk full halfway") << "bt.dbf"
                                           << "disk full" << int(O::DiskFull);
        QTest::newRow("copied, never opened") << "bt.dbt"
                                              << "abandoned" << int(O::Ready);
    }

    // Whatever becomes of an import, refused ones included, it leaves no copy of the file behind.
    void noStagingCopyRemains()
    {
        QFETCH(QString, name);
        QFETCH(QString, fault);
        QFETCH(int, outcome);
        TestStore s;
        QTemporaryDir dir;
        const QString teacher = fault == u"no rows" ? QStringLiteral("教师") : QStringLiteral("张三");
        QString path =
            writeFile(dir, {rowWith(teacher, QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 1)}, name);
        if (fault == u"foreign")
            patch(path, 0, QByteArray(40, '\x5a'));
        {
            WorkloadImport importer(s.data());
            importer.makeCounters();
            if (fault == u"disk full")
                importer.setFileWriter(diskWithRoomFor(100, ENOSPC));
            WorkloadImport::Outcome result = importer.copyToWorkCopy(path);
            if (result == WorkloadImport::Outcome::Ready && fault != u"abandoned")
                result = importer.openWorkCopy();
            QCOMPARE(int(result), outcome);
            if (result == WorkloadImport::Outcome::Ready && fault != u"abandoned")
                importer.run();
        }
        QCOMPARE(stagingCopies(s), QStringList());
    }

    void storeBusyOrDiskFull_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("message");
        using O = WorkloadImport::Outcome;
        QTest::newRow("store locked by another program")
            << "locked" << int(O::Busy) << QStringLiteral("数据库正被其他程序使用，请稍后再试!");
        QTest::newRow("disk full while copying")
            << "ENOSPC" << int(O::DiskFull) << QStringLiteral("磁盘空间不足，无法导入!");
        QTest::newRow("quota used up while copying")
            << "EDQUOT" << int(O::DiskFull) << QStringLiteral("磁盘空间不足，无法导入!");
        QTest::newRow("store full while staging")
            << "store full" << int(O::DiskFull) << QStringLiteral("磁盘空间不足，无法导入!");
        QTest::newRow("I/O error while copying")
            << "EIO" << int(O::CopyFailed) << QStringLiteral("复制临时数据库文件时出现错误，请检查磁盘文件是否正确!");
    }

    // A busy store and a full disk are said as such, not blamed on the file; nothing changes.
    void storeBusyOrDiskFull()
    {
        QFETCH(QString, fault);
        QFETCH(int, outcome);
        QFETCH(QString, message);
        TestStore s(true);
        const std::vector<QVariantList> before = dump(s);
        QTemporaryDir dir;
        std::vector<QVariantList> rows;
        for (int i = 0; i < 300; ++i)
            rows.push_back(rowWith(QStringLiteral("教员%1").arg(i), QStringLiteral("数学教研室"),
                                   QStringLiteral("理学院"), Year, i + 1));
        const QString path = writeFile(dir, rows);

        WorkloadImport importer(s.data());
        importer.makeCounters();
        std::unique_ptr<Database> other;
        if (fault == u"locked") {
            other = Database::open(s.location());
            other->begin();
        } else if (fault == u"store full") {
            if (s.location().isServer())
                QSKIP("a server's disk cannot be made to run full from here");
            // The staging table may not grow: the store itself answers SQLITE_FULL.
            SqliteDatabase::of(s.db()).executeInternal(QStringLiteral("PRAGMA work.max_page_count=%1")
                                                           .arg(s.scalar(QStringLiteral("PRAGMA work.page_count"))));
        } else {
            importer.setFileWriter(diskWithRoomFor(5000, fault == u"ENOSPC"   ? ENOSPC
                                                         : fault == u"EDQUOT" ? EDQUOT
                                                                              : EIO));
        }
        WorkloadImport::Outcome result = importer.copyToWorkCopy(path);
        if (result == WorkloadImport::Outcome::Ready)
            result = importer.openWorkCopy();
        if (other)
            other->rollback();
        QCOMPARE(int(result), outcome);
        QCOMPARE(WorkloadImport::message(result), message);
        QCOMPARE(dump(s), before);
        QCOMPARE(stagingCopies(s), QStringList());
    }

    void missingColumnIsNamed_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("text");
        QTest::newRow("export") << "export" << QStringLiteral("导出的数据中没有字段 gm");
        QTest::newRow("import") << "import" << QStringLiteral("导入的数据中没有字段 yuanbu");
    }

    // Rows that lack a column the export or the import reads end the command with the column's
    // name and change nothing, rather than read a column that is not there.
    void missingColumnIsNamed()
    {
        QFETCH(QString, step);
        QFETCH(QString, text);
        TestStore s(true);
        s.db().execute(QStringLiteral("insert into gzl_temp (xh) values (1)"));
        const std::vector<QVariantList> before = dump(s);
        const QString workTable = s.scalar(QStringLiteral("select group_concat(xh) from gzl_temp"));
        try {
            if (step == u"export") {
                WorkloadExport exporter(s.data());
                QVERIFY(exporter.selectRows(Selection::year(Year)) > 0);
                s.data().dtbmdm1->setStatement({QStringLiteral("select xh from gzl")});
                s.data().dtbmdm1->open();
                exporter.fillWorkTable(WorkloadExport::Format::Paradox);
            } else {
                QTemporaryDir dir;
                WorkloadImport importer(s.data());
                importer.makeCounters();
                QCOMPARE(importer.copyToWorkCopy(writeFile(dir, {row()})), WorkloadImport::Outcome::Ready);
                QCOMPARE(importer.openWorkCopy(), WorkloadImport::Outcome::Ready);
                s.data().xssj1->setStatement({QStringLiteral("select jiaoshi from dbtemp")});
                s.data().xssj1->open();
                importer.run();
            }
            QFAIL("no error");
        } catch (const StoreError& e) {
            QCOMPARE(e.text(), text);
        }
        QVERIFY(!s.db().inTransaction());
        QCOMPARE(dump(s), before);
        QCOMPARE(s.scalar(QStringLiteral("select group_concat(xh) from gzl_temp")), workTable);
    }

    // A value that the store refuses (a short whole number beyond its range, brought in a column
    // of a foreign file's wider type) ends the import without a change, wherever the store finds
    // it; the store then takes the next import as usual.
    void refusedValueLeavesTheStoreUsable()
    {
        TestStore s(true);
        const std::vector<QVariantList> before = dump(s);
        QTemporaryDir dir;
        ExchangeTable t =
            table({rowWith(QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 1),
                   rowWith(QStringLiteral("李四"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 2)});
        t.columns[*t.indexOf(QStringLiteral("gm"))].kind = ExchangeColumn::Kind::Number;
        set(t.rows[1], QStringLiteral("gm"), 40000.0);
        const QString refused = dir.filePath(QStringLiteral("refused.dbt"));
        ParadoxFile::write(refused, t);
        {
            WorkloadImport importer(s.data());
            importer.makeCounters();
            QCOMPARE(importer.copyToWorkCopy(refused), WorkloadImport::Outcome::Ready);
            const WorkloadImport::Outcome staged = importer.openWorkCopy();
            if (staged == WorkloadImport::Outcome::Ready)
                QVERIFY_THROWS_EXCEPTION(StoreError, importer.run());
            else
                QCOMPARE(staged, WorkloadImport::Outcome::NotOurFile);
        }
        QVERIFY(!s.db().inTransaction());
        QCOMPARE(dump(s), before);

        const QString good = writeFile(
            dir, {rowWith(QStringLiteral("王五"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 9001)});
        const Imported result = importFile(s, good);
        QCOMPARE(result.outcome, WorkloadImport::Outcome::Ready);
        QCOMPARE(result.counts.rows, 1);
        QCOMPARE(s.count(QStringLiteral("gzl"), QStringLiteral("jiaoshi='王五'")), 1);
    }

private:
    QTemporaryDir m_temporary;
};

QTEST_GUILESS_MAIN(TestImportFailures)
#include "tst_import_failures.moc"
