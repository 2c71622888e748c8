#include "session/DataDirectoryLock.h"
#include "store/Database.h"
#include "support/CliRun.h"
#include "support/TestStore.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <vector>

namespace {} // namespace

// The suite's commands on a store of a data directory: the server's init, backup and restore have
// their own suite.
#define SKIP_ON_SERVER()                                                                                               \
    if (!TestStore::server().isEmpty())                                                                                \
    QSKIP("a command on the desktop store's data directory")

class TestCli : public QObject
{
    Q_OBJECT
private slots:
    void initCreatesOnceUnlessForced()
    {
        SKIP_ON_SERVER();
        QTemporaryDir dir;
        const QString d = dir.path() + QStringLiteral("/data");
        CliRun r = runCli({QStringLiteral("--dir"), d, QStringLiteral("init")});
        QCOMPARE(r.status, 0);
        QVERIFY(Database::exists(d));

        runCli({QStringLiteral("--dir"), d, QStringLiteral("sql"),
                QStringLiteral("insert into yuanbu (mc) values ('x')")});
        r = runCli({QStringLiteral("--dir"), d, QStringLiteral("init")});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains(u"already exists"));
        QCOMPARE(runCli({QStringLiteral("--dir"), d, QStringLiteral("sql"),
                         QStringLiteral("select count(*) as n from yuanbu")})
                     .out,
                 QStringLiteral("n\n1\n"));

        r = runCli({QStringLiteral("--dir"), d, QStringLiteral("init"), QStringLiteral("--force")});
        QCOMPARE(r.status, 0);
        QCOMPARE(runCli({QStringLiteral("--dir"), d, QStringLiteral("sql"),
                         QStringLiteral("select count(*) as n from yuanbu")})
                     .out,
                 QStringLiteral("n\n0\n"));
    }

    void demoIsDeterministicAndRealistic()
    {
        SKIP_ON_SERVER();
        QTemporaryDir a, b;
        QCOMPARE(runCli({QStringLiteral("--dir"), a.path(), QStringLiteral("init"), QStringLiteral("--demo")}).status,
                 0);
        QCOMPARE(runCli({QStringLiteral("--dir"), b.path(), QStringLiteral("init"), QStringLiteral("--demo")}).status,
                 0);
        const QString dump = QStringLiteral("select * from gzl order by xh");
        const QString rowsA = runCli({QStringLiteral("--dir"), a.path(), QStringLiteral("sql"), dump}).out;
        QCOMPARE(runCli({QStringLiteral("--dir"), b.path(), QStringLiteral("sql"), dump}).out, rowsA);

        auto value = [&](const QString& sql) {
            return runCli({QStringLiteral("--dir"), a.path(), QStringLiteral("sql"), sql}).out.split(u'\n').value(1);
        };
        QCOMPARE(value(QStringLiteral("select count(*) from yuanbu")), QStringLiteral("3"));
        QCOMPARE(value(QStringLiteral("select count(*) from bmdm")), QStringLiteral("7"));
        const int teachers = value(QStringLiteral("select count(*) from rydm")).toInt();
        QVERIFY2(teachers >= 35 && teachers <= 45, qPrintable(QString::number(teachers)));
        QCOMPARE(value(QStringLiteral("select count(distinct fl) from gzl where nd='2026-2027学年'")),
                 QStringLiteral("4"));
        QVERIFY(value(QStringLiteral("select count(*) from gzl where nd='2025-2026学年'")).toInt() > 0);
        const int newest = value(QStringLiteral("select count(*) from gzl where nd='2026-2027学年'")).toInt();
        QCOMPARE(newest, teachers * 5);
        // Every row names an existing teacher of its section and faculty.
        QCOMPARE(value(QStringLiteral("select count(*) from gzl where not exists (select 1 from rydm,bmdm where "
                                      "rydm.bmdm=bmdm.bmdm and rymc=jiaoshi and bmmc=jiaoyanshi and ybmc=yuanbu)")),
                 QStringLiteral("0"));
    }

    void sqlPrintsRowsAndErrors()
    {
        SKIP_ON_SERVER();
        QTemporaryDir dir;
        runCli({QStringLiteral("--dir"), dir.path(), QStringLiteral("init")});
        CliRun r = runCli({QStringLiteral("--dir"), dir.path(), QStringLiteral("sql"),
                           QStringLiteral("select name, gl1, 2.5 as k, null as e from user1 order by name")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("name\tgl1\tk\te\n001\t1\t2.5\t\n002\t0\t2.5\t\n"));

        r = runCli(
            {QStringLiteral("--dir"), dir.path(), QStringLiteral("sql"), QStringLiteral("update niandu set nd=nd")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString());

        r = runCli(
            {QStringLiteral("--dir"), dir.path(), QStringLiteral("sql"), QStringLiteral("select nosuch from gzl")});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains(u"no such column"));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("nothing") << QStringList() << 2;
        QTest::newRow("unknown command") << QStringList{QStringLiteral("frobnicate")} << 2;
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus"), QStringLiteral("init")} << 2;
        QTest::newRow("sql without statement") << QStringList{QStringLiteral("sql")} << 2;
        QTest::newRow("bad synthetic") << QStringList{QStringLiteral("init"), QStringLiteral("--synthetic"),
                                                      QStringLiteral("1,2")}
                                       << 2;
        QTest::newRow("backup to an empty name") << QStringList{QStringLiteral("backup"), QString()} << 2;
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0;
    }
    void usageErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QTemporaryDir dir;
        const CliRun r = runCli(QStringList{QStringLiteral("--dir"), dir.path()} + args);
        QCOMPARE(r.status, status);
        QVERIFY((status == 0 ? r.out : r.err).contains(u"usage"));
        QVERIFY(!Database::exists(dir.path()));
    }

    // An option given twice is refused before anything is done: the last one does not silently win.
    void repeatedOptionIsRefused_data()
    {
        QTest::addColumn<QStringList>("args"); // after --dir and the data directory
        QTest::addColumn<QString>("refusal");  // the first line of the error
        const QString year = QStringLiteral("2026-2027学年");
        const QString faculty = QStringLiteral("机械工程学院");
        const QString base = QStringLiteral("{out}/bt");
        QTest::newRow("export --format") << QStringList{"export",   "--year", year,   "--format", "dbt",
                                                        "--format", "dbf",    "--to", base}
                                         << "workloadctl export: --format given twice";
        QTest::newRow("export --to") << QStringList{"export",   "--year", year,   "--to",     base,
                                                    "--format", "dbf",    "--to", base + u'2'}
                                     << "workloadctl export: --to given twice";
        QTest::newRow("export --faculty") << QStringList{"export",
                                                         "--year",
                                                         year,
                                                         "--faculty",
                                                         faculty,
                                                         "--faculty",
                                                         QStringLiteral("外国语学院"),
                                                         "--format",
                                                         "dbf",
                                                         "--to",
                                                         base}
                                          << "workloadctl export: --faculty given twice";
        QTest::newRow("calc --year") << QStringList{"calc",   "--year", QStringLiteral("2025-2026学年"),
                                                    "--year", year,     "--all"}
                                     << "workloadctl calc: --year given twice";
        QTest::newRow("calc --all") << QStringList{"calc", "--year", year, "--all", "--all"}
                                    << "workloadctl calc: --all given twice";
        QTest::newRow("calc --trace") << QStringList{"calc", "--year", year, "--trace", "--all", "--trace"}
                                      << "workloadctl calc: --trace given twice";
        QTest::newRow("report --year") << QStringList{"report", "--year", year,    "--faculty",  faculty,
                                                      "--year", year,     "--csv", base + ".csv"}
                                       << "workloadctl report: --year given twice";
        QTest::newRow("report --csv") << QStringList{"report", "--year",      year,    "--faculty",   faculty,
                                                     "--csv",  base + ".csv", "--csv", base + "2.csv"}
                                      << "workloadctl report: --csv given twice";
        QTest::newRow("teacher add --section")
            << QStringList{"teacher", "add", "--section", "S1", "T99", QStringLiteral("钱七"), "--section", "S2"}
            << "workloadctl teacher: --section given twice";
        QTest::newRow("section edit --name") << QStringList{"section", "edit", "S1", "--name", "a", "--name", "b"}
                                             << "workloadctl section: --name given twice";
        QTest::newRow("init --force") << QStringList{"init", "--force", "--force"}
                                      << "workloadctl init: --force given twice";
        QTest::newRow("init --synthetic")
            << QStringList{"init", "--force", "--synthetic", "1,1,1,1,1", "--synthetic", "2,2,2,2,2"}
            << "workloadctl init: --synthetic given twice";
        QTest::newRow("--dir") << QStringList{"--dir", ".", "calc", "--year", year, "--all"}
                               << "workloadctl: --dir given twice";
    }
    void repeatedOptionIsRefused()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, refusal);
        TestStore store(true);
        const QString out = store.dir() + QStringLiteral("/out");
        QVERIFY(QDir().mkdir(out));
        args.replaceInStrings(QStringLiteral("{out}"), out);
        const int rows = store.count(QStringLiteral("gzl"));
        const int teachers = store.count(QStringLiteral("rydm"));
        if (args.contains(QStringLiteral("--dir")) && !TestStore::server().isEmpty())
            QSKIP("--dir beside the server's --server is another refusal");
        const CliRun r = runCli(store.ctlArguments() + args);
        QCOMPARE(r.status, 2);
        QCOMPARE(r.err.section(u'\n', 0, 0), refusal);
        QVERIFY(r.err.contains(u"usage"));
        QCOMPARE(r.out, QString());
        QCOMPARE(QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
        TestStore::Reopened after(store.location()); // init would have put another store in its place
        QCOMPARE(after.count(QStringLiteral("gzl")), rows);
        QCOMPARE(after.count(QStringLiteral("rydm")), teachers);
    }

    // The exchange file is BASE.dbt or BASE.dbf: a BASE that names a directory is refused rather
    // than give a hidden ".dbf" inside it or a file named after it beside it.
    void exportBaseMustNameAFile_data()
    {
        QTest::addColumn<QString>("base"); // in the store's directory, which holds the directory out
        QTest::newRow("directory with a slash") << "out/";
        QTest::newRow("directory") << "out";
        QTest::newRow("directory itself") << "out/.";
        QTest::newRow("its parent") << "out/..";
        QTest::newRow("missing directory with a slash") << "missing/";
    }
    void exportBaseMustNameAFile()
    {
        QFETCH(QString, base);
        TestStore store(true);
        QVERIFY(QDir(store.dir()).mkdir(QStringLiteral("out")));
        const QStringList before = QDir(store.dir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        const QString to = store.dir() + u'/' + base;
        for (const char* format : {"dbf", "dbt"}) {
            const CliRun r =
                runCli(store.ctlArguments() + QStringList{QStringLiteral("export"), QStringLiteral("--year"),
                                                          QStringLiteral("2026-2027学年"), QStringLiteral("--format"),
                                                          QString::fromLatin1(format), QStringLiteral("--to"), to});
            QCOMPARE(r.status, 2);
            QCOMPARE(r.err.section(u'\n', 0, 0),
                     QStringLiteral("workloadctl export: --to %1 names a directory: give the file's name without its "
                                    "ending, as in DIR/NAME")
                         .arg(to));
            QCOMPARE(r.out, QString());
        }
        QCOMPARE(QDir(store.dir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
        QCOMPARE(QDir(store.dir() + QStringLiteral("/out"))
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        // A name in that directory is taken.
        const CliRun r =
            runCli(store.ctlArguments() + QStringList{QStringLiteral("export"), QStringLiteral("--year"),
                                                      QStringLiteral("2026-2027学年"), QStringLiteral("--format"),
                                                      QStringLiteral("dbf"), QStringLiteral("--to"),
                                                      store.dir() + QStringLiteral("/out/bt")});
        QCOMPARE(r.status, 0);
        QVERIFY(QFileInfo::exists(store.dir() + QStringLiteral("/out/bt.dbf")));
    }

    // An infinite figure left by an older program is named with its row and column; the disk is
    // not blamed, and no file is written.
    void exportNamesAFigureThatIsNotFinite()
    {
        TestStore store(true);
        store.db().execute(QStringLiteral("update gzl set q31=-9e999 where xh=(select min(xh) from gzl "
                                          "where nd='2026-2027学年')"));
        const QString xh = store.scalar(QStringLiteral("select xh from gzl where q31 < -1e308"));
        for (const char* format : {"dbf", "dbt"}) {
            const CliRun r =
                runCli(store.ctlArguments() + QStringList{QStringLiteral("export"), QStringLiteral("--year"),
                                                          QStringLiteral("2026-2027学年"), QStringLiteral("--format"),
                                                          QString::fromLatin1(format), QStringLiteral("--to"),
                                                          store.dir() + QStringLiteral("/bt")});
            QCOMPARE(r.status, 1);
            QVERIFY2(r.err.contains(QStringLiteral("(序号 %1, 教师 ").arg(xh)), qPrintable(r.err));
            QVERIFY2(r.err.contains(QStringLiteral(" 的 q31 是 -inf，不是有限数，不能导出。")), qPrintable(r.err));
            QVERIFY2(!r.err.contains(QStringLiteral("磁盘")), qPrintable(r.err));
            QVERIFY(!QFileInfo::exists(store.dir() + QStringLiteral("/bt.") + QString::fromLatin1(format)));
        }
    }

    // workloadctl's arguments arrive as bytes: UTF-8 is taken as it is, anything else is refused
    // with the position of the first argument that is not UTF-8.
    void argumentsMustBeUtf8_data()
    {
        QTest::addColumn<QByteArrayList>("arguments"); // after the program name
        QTest::addColumn<int>("refused");              // position of the refused argument, 0: none
        QTest::addColumn<QString>("shown");            // how the refused argument is shown
        const QByteArray chinese = QStringLiteral("信息学院").toUtf8();
        QTest::newRow("ascii") << QByteArrayList{"--dir", "/tmp/x", "calc"} << 0 << QString();
        QTest::newRow("chinese") << QByteArrayList{"calc", "--faculty", chinese} << 0 << QString();
        QTest::newRow("four-byte character") << QByteArrayList{"\xF0\x9F\x98\x80"} << 0 << QString();
        QTest::newRow("replacement character itself") << QByteArrayList{"\xEF\xBF\xBD"} << 0 << QString();
        QTest::newRow("latin-1 file name")
            << QByteArrayList{"export", "--to", "r\xE9sum\xE9"} << 3 << QStringLiteral("r\\xE9sum\\xE9");
        QTest::newRow("gbk name") << QByteArrayList{"calc", "--faculty", QByteArray("\xD0\xC5\xCF\xA2")} << 3
                                  << QStringLiteral("\\xD0\\xC5\\xCF\\xA2");
        QTest::newRow("cut-off character")
            << QByteArrayList{"a", chinese.left(5)} << 2 << QStringLiteral("\\xE4\\xBF\\xA1\\xE6\\x81");
        QTest::newRow("stray continuation byte") << QByteArrayList{"\200abc"} << 1 << QStringLiteral("\\x80abc");
        QTest::newRow("overlong slash") << QByteArrayList{"a\300\257b"} << 1 << QStringLiteral("a\\xC0\\xAFb");
        QTest::newRow("encoded surrogate")
            << QByteArrayList{"x", "y", "\xED\xA0\x80"} << 3 << QStringLiteral("\\xED\\xA0\\x80");
        QTest::newRow("beyond the last code point")
            << QByteArrayList{"\xF4\x90\x80\x80"} << 1 << QStringLiteral("\\xF4\\x90\\x80\\x80");
        QTest::newRow("first of two bad ones") << QByteArrayList{"ok", "\xFF", "\xFE"} << 2 << QStringLiteral("\\xFF");
    }
    void argumentsMustBeUtf8()
    {
        QFETCH(QByteArrayList, arguments);
        QFETCH(int, refused);
        QFETCH(QString, shown);
        std::vector<const char*> argv{"workloadctl"};
        for (const QByteArray& a : arguments)
            argv.push_back(a.constData());
        try {
            const QStringList decoded = Cli::decodeArguments(int(argv.size()), argv.data());
            QCOMPARE(refused, 0);
            QCOMPARE(decoded.size(), arguments.size());
            for (int i = 0; i < decoded.size(); ++i)
                QCOMPARE(decoded[i].toUtf8(), arguments[i]);
        } catch (const Cli::UsageError& e) {
            QVERIFY2(refused > 0, qPrintable(e.text()));
            QCOMPARE(e.text(), QStringLiteral("argument %1 is not valid UTF-8: \"%2\" (give names and file names in "
                                              "UTF-8)")
                                   .arg(refused)
                                   .arg(shown));
        }
    }

    void missingStoreIsReported()
    {
        SKIP_ON_SERVER();
        QTemporaryDir dir;
        const CliRun r =
            runCli({QStringLiteral("--dir"), dir.path(), QStringLiteral("sql"), QStringLiteral("select 1")});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains(u"workload.sqlite3"));
    }

    // backup copies the store beside a running program; restore puts it back only when no
    // program holds the data directory, and keeps the store it replaces.
    void backupAndRestore()
    {
        SKIP_ON_SERVER();
        TestStore store(true);
        QTemporaryDir out;
        const QString file = out.filePath(QStringLiteral("saved.sqlite3"));
        std::optional<DataDirectoryLock> program(std::in_place, store.dir());
        QVERIFY(program->tryLock());
        CliRun r = runCli({QStringLiteral("--dir"), store.dir(), QStringLiteral("backup"), file});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(u"integrity ok"));
        const int rows = store.count(QStringLiteral("gzl"));
        store.db().execute(QStringLiteral("delete from gzl"));

        r = runCli({QStringLiteral("--dir"), store.dir(), QStringLiteral("restore"), file});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("请先退出程序")), qPrintable(r.err));
        QCOMPARE(store.count(QStringLiteral("gzl")), 0);

        program.reset(); // the program has ended
        r = runCli({QStringLiteral("--dir"), store.dir(), QStringLiteral("restore"), file});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(u".bak"));
        TestStore::Reopened restored(store.dir());
        QCOMPARE(restored.count(QStringLiteral("gzl")), rows);

        const QString nowhere = out.filePath(QStringLiteral("nowhere"));
        r = runCli({QStringLiteral("--dir"), nowhere, QStringLiteral("restore"), file});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.startsWith(QStringLiteral("没有数据目录")), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(nowhere));
    }

    // init --force does not replace a store under a running program.
    void initForceWaitsForTheProgram()
    {
        SKIP_ON_SERVER();
        TestStore store;
        store.db().execute(QStringLiteral("insert into yuanbu (mc) values ('理学院')"));
        {
            DataDirectoryLock program(store.dir());
            QVERIFY(program.tryLock());
            const CliRun r =
                runCli({QStringLiteral("--dir"), store.dir(), QStringLiteral("init"), QStringLiteral("--force")});
            QCOMPARE(r.status, 1);
            QVERIFY2(r.err.contains(QStringLiteral("请先退出程序再重建")), qPrintable(r.err));
            QCOMPARE(store.count(QStringLiteral("yuanbu")), 1);
        }
        QCOMPARE(
            runCli({QStringLiteral("--dir"), store.dir(), QStringLiteral("init"), QStringLiteral("--force")}).status,
            0);
    }

    // A command that meets another program's write lock waits, then says that it gave up.
    void aBusyStoreIsNamed()
    {
        TestStore store;
        store.db().begin();
        const CliRun r =
            runCli(store.ctlArguments() +
                   QStringList{QStringLiteral("sql"), QStringLiteral("insert into yuanbu (mc) values ('x')")});
        store.db().rollback();
        QCOMPARE(r.status, 1);
        const QString busy = TestStore::server().isEmpty() ? QStringLiteral("数据库正被其他程序使用")
                                                           : QStringLiteral("数据库正被别的操作员使用");
        QVERIFY2(r.err.contains(busy), qPrintable(r.err));
        QCOMPARE(store.count(QStringLiteral("yuanbu"), QStringLiteral("mc='x'")), 0);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
