#include "OldInstallationFixture.h"
#include "calc/WorkloadCalculator.h"
#include "migrate/Migration.h"
#include "store/DataModule.h"
#include "store/Database.h"
#include "store/PasswordHash.h"
#include "support/CliRun.h"
#include "support/FileChecks.h"
#include "support/TestStore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Year = QStringLiteral("2026-2027学年");

QStringList args(const QString& dataDir, const QString& oldDir, const QStringList& options = {})
{
    return QStringList{QStringLiteral("--dir"), dataDir, QStringLiteral("migrate"), oldDir} + options;
}

// What an office has entered over the years, by hand, through the program's own statements: its
// faculties, sections and teachers (one without any workload row), workload rows of all four
// kinds, the totals of its last calculation and its own tuning of the parameters.
void enterByHand(Database& db)
{
    const QStringList statements{
        QStringLiteral("insert into yuanbu (mc) values ('理学院')"),
        QStringLiteral("insert into yuanbu (mc) values ('工学院')"),
        QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('B01','数学教研室','理学院')"),
        QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('B02','物理教研室','理学院')"),
        QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('B03','机械教研室','工学院')"),
        QStringLiteral("insert into rydm (rydm,rymc,bmdm,ryzc,ryxz,rygw,q,q11) values "
                       "('T01','张三','B01','副高级','专职','无重点岗位',321.5,200.25)"),
        QStringLiteral("insert into rydm (rydm,rymc,bmdm,ryzc,ryxz,rygw) values "
                       "('T02','李四','B01','中级','兼职','重点 6 级')"),
        QStringLiteral("insert into rydm (rydm,rymc,bmdm,ryzc,ryxz,rygw) values "
                       "('T03','王五','B02','正高级','专职','无重点岗位')"),
        QStringLiteral("insert into rydm (rydm,rymc,bmdm,ryzc,ryxz,rygw) values "
                       "('T04','赵六','B03','初级','专职','无重点岗位')"),
        QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,gm,yan,banji,r1,kname,t1,shuoming,r2,t2,bg,fzs,"
                       "nd,xingzhi,zhicheng,fl,gangwei) values (1,'张三','理学院','数学教研室',0,'本科生','数学1班',"
                       "95,'高等数学 ',64,'专业课',30,16,0,2,'2026-2027学年','专职','副高级','理论实验','无重点岗位')"),
        QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,gm,yan,banji,r1,kname,t1,shuoming,r2,t2,bg,fzs,"
                       "nd,xingzhi,zhicheng,fl,gangwei) values (2,'张三','理学院','数学教研室',1,'研究生','硕士班',"
                       "12,'泛函分析',48,'专业课',0,0,1,1,'2026-2027学年','专职','副高级','理论实验','无重点岗位')"),
        QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,gm,yan,banji,r1,kname,t1,shuoming,r2,t2,bg,fzs,"
                       "nd,xingzhi,zhicheng,fl,gangwei) values (3,'李四','理学院','数学教研室',0,'本科生','统计2班',"
                       "150,'概率论',0.1,'公共基础课',0,0,0,1,'2026-2027学年','兼职','中级','理论实验','重点 6 级')"),
        QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,gm,yan,banji,kname,shuoming,r3,w,nd,xingzhi,"
                       "zhicheng,fl,gangwei) values (4,'赵六','工学院','机械教研室',0,'本科生','机械1班','金工实习',"
                       "'教学实习',45,2,'2026-2027学年','专职','初级','实习设计','无重点岗位')"),
        QStringLiteral(
            "insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,gm,banji,r32,q32,nd,xingzhi,zhicheng,fl,gangwei) "
            "values (5,'张三','理学院','数学教研室',0,'数学4班',6,0,'2026-2027学年','专职','副高级','毕业设计',"
            "'无重点岗位')"),
        QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,gm,banji,r33,q33,nd,xingzhi,zhicheng,fl,gangwei) "
                       "values (6,'李四','理学院','数学教研室',0,'硕士班',2,0,'2026-2027学年','兼职','中级','指导硕士',"
                       "'重点 6 级')"),
        QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,gm,yan,banji,r1,kname,t1,shuoming,nd,xingzhi,"
                       "zhicheng,fl,gangwei) values (7,'王五','理学院','物理教研室',0,'本科生','物理1班',60,'力学',48,"
                       "'专业基础课','2025-2026学年','专职','正高级','理论实验','无重点岗位')"),
        // The office's own tuning: another out-of-class coefficient, another order, a stricter condition.
        QStringLiteral("update sysparameter set k12=0.17 where fenlie=0 and shuoming='专业课'"),
        QStringLiteral("update sysparameter set sunxu=-3 where fenlie=0 and shuoming='双语课'"),
        QStringLiteral("update sysparameter set k11='35' where fenlie=9 and shuoming='教学实习'"),
        QStringLiteral("update sysparameter set tiaojian='fl=''理论实验'' and r1>3*s1 and gm=0' where fenlie=2 and "
                       "sunxu=4"),
        // Blank texts are blank (NULL) in a Paradox table.
        QStringLiteral("update sysparameter set s1=NULL where s1=''"),
        QStringLiteral("update sysparameter set s2=NULL where s2=''"),
        QStringLiteral("update sysparameter set yan=NULL where yan=''"),
        QStringLiteral("update user1 set gl31=NULL"),
        QStringLiteral("update system set yx='理学院',jys='B01',jysmc='数学教研室'"),
    };
    for (const QString& s : statements)
        db.execute(s);
}

QList<QVariantList> rowsOf(Database& db, const QString& statement)
{
    const Database::Result r = db.select(statement);
    QList<QVariantList> rows;
    for (std::size_t i = 0; i < r.rows.size(); ++i)
        rows << r.rows.row(i);
    return rows;
}

QList<QVariantList> rowsOf(const QString& dir, const QString& statement)
{
    auto db = Database::open(dir);
    return rowsOf(*db, statement);
}

void calculate(const QString& dir)
{
    DataModule data;
    data.connectTo(dir);
    WorkloadCalculator(data).calculateYear(Year);
}

// Names and sizes of the files of a directory, and the bytes of the store if there is one.
QStringList contents(const QString& dir)
{
    QStringList out;
    for (const QFileInfo& f : QDir(dir).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot | QDir::Dirs))
        out << f.fileName() + u' ' + QString::number(f.size());
    out << QString::number(qHash(readFile(Database::storePath(dir))));
    return out;
}

// Changes made to an old installation's files after they were written.
void truncateFile(const QString& path, qint64 by)
{
    QFile f(path);
    QVERIFY(f.resize(f.size() - by));
}

void patchFile(const QString& path, qint64 at, QByteArray bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.seek(at));
    QCOMPARE(f.write(bytes), bytes.size());
}

void replaceFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

int count(const QString& dir, const QString& statement)
{
    return rowsOf(dir, statement).value(0).value(0).toInt();
}

const QHash<QString, QString> Passwords{{QStringLiteral("001"), QStringLiteral("123456")},
                                        {QStringLiteral("002"), QStringLiteral("abc 12")}};

} // namespace

class TestMigration : public QObject
{
    Q_OBJECT

    TestStore m_hand;
    std::unique_ptr<OldInstallationFixture> m_old;

    // The old installation of the hand-made store, written into a new directory.
    QString writeOld(QTemporaryDir& dir, const std::function<void(OldInstallationFixture&)>& change = {})
    {
        OldInstallationFixture old = *m_old;
        if (change)
            change(old);
        old.write(dir.path());
        return dir.path();
    }

private slots:
    void initTestCase()
    {
        enterByHand(m_hand.db());
        m_old = std::make_unique<OldInstallationFixture>(m_hand.db(), Passwords);
    }

    // An old installation migrated and then calculated gives exactly what the same rows give
    // when entered by hand; before the calculation the totals are the old program's.
    void migratedEqualsEnteredByHand()
    {
        QTemporaryDir oldDir, target;
        const QString data = target.filePath(QStringLiteral("data"));
        const CliRun r = runCli(args(data, writeOld(oldDir)));
        QVERIFY2(r.status == 0, qPrintable(r.err));
        for (const QString& line :
             {QStringLiteral("gzl: 7 rows"), QStringLiteral("rydm: 4 rows"), QStringLiteral("bmdm: 3 rows"),
              QStringLiteral("yuanbu: 2 rows"), QStringLiteral("sysparameter: 34 rows"),
              QStringLiteral("user1: 2 rows"), QStringLiteral("niandu: 4 rows"), QStringLiteral("system: 1 row")})
            QVERIFY2(r.outLines().contains(line), qPrintable(line + u'\n' + r.out));
        QVERIFY2(r.out.contains(u"user1: 原表的列 rq 不是本系统的列"), qPrintable(r.out));
        QVERIFY2(r.out.contains(u"计算"), qPrintable(r.out));

        // Every table as it was, the parameters to the last bit and in their order.
        for (const QString& statement :
             {QStringLiteral("select * from sysparameter order by fenlie, sunxu"),
              QStringLiteral("select * from gzl order by xh"), QStringLiteral("select * from rydm order by rydm"),
              QStringLiteral("select * from bmdm order by bmdm"), QStringLiteral("select * from yuanbu order by mc"),
              QStringLiteral("select * from niandu order by nd"), QStringLiteral("select * from system"),
              QStringLiteral("select name,gl1,gl2,gl3,gl4,usergl,gl31 from user1 order by name")})
            QCOMPARE(rowsOf(data, statement), rowsOf(m_hand.db(), statement));
        QCOMPARE(rowsOf(data, QStringLiteral("select kname from gzl where xh=1")).value(0).value(0).toString(),
                 QStringLiteral("高等数学 "));
        QCOMPARE(rowsOf(data, QStringLiteral("select q from rydm where rydm='T01'")).value(0).value(0).toDouble(),
                 321.5);

        // The passwords are kept as hashes of the old ones, never as they were.
        for (const QVariantList& row : rowsOf(data, QStringLiteral("select name,password1 from user1"))) {
            QVERIFY(PasswordHash::isHash(row[1].toString()));
            QVERIFY(PasswordHash::verify(row[1].toString(), Passwords.value(row[0].toString())));
        }

        calculate(data);
        calculate(m_hand.dir());
        for (const QString& statement :
             {QStringLiteral("select * from gzl order by xh"), QStringLiteral("select * from rydm order by rydm")})
            QCOMPARE(rowsOf(data, statement), rowsOf(m_hand.db(), statement));
        QVERIFY(rowsOf(data, QStringLiteral("select q from rydm where rydm='T01'")).value(0).value(0).toDouble() !=
                321.5);
    }

    // Whatever refuses the migration refuses it whole, before anything is written: the data
    // directory is as it was, with or without a store, and no backup is made.
    void refusals_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("said");
        QTest::addColumn<bool>("repair");
        QTest::newRow("missing table") << 0 << QStringLiteral("中没有 niandu.db") << false;
        QTest::newRow("truncated file") << 1 << QStringLiteral("GZL.DB: the header counts") << false;
        QTest::newRow("foreign file") << 2 << QStringLiteral("bmdm.db: file shorter than a Paradox header") << false;
        QTest::newRow("unknown version") << 3 << QStringLiteral("yuanbu.db: unknown Paradox table version 13") << false;
        QTest::newRow("other code page") << 4 << QStringLiteral("niandu.db: code page 1252") << false;
        QTest::newRow("two teachers, one code")
            << 5 << QStringLiteral("rydm 第 2 行: 教师代码 T01 与第 1 行重复") << false;
        QTest::newRow("text too wide, also with --repair")
            << 6 << QStringLiteral("rydm 第 1 行 rymc: \"欧阳诸葛司马懿德\" 宽 16 字节，超过本系统的 15 字节") << true;
        QTest::newRow("no operators") << 7 << QStringLiteral("user1: 原表中没有操作员") << true;
        QTest::newRow("memo file damaged") << 8 << QStringLiteral("SYSPARAMETER.DB: field tiaojian") << false;
        QTest::newRow("foreign memo file") << 9 << QStringLiteral("sysparameter.mb: not a Paradox memo file") << false;
    }
    void refusals()
    {
        QFETCH(int, fault);
        QFETCH(QString, said);
        QFETCH(bool, repair);
        QTemporaryDir oldDir;
        writeOld(oldDir, [&](OldInstallationFixture& old) {
            if (fault == 5)
                old.rows[QStringLiteral("rydm")][1][0] = QStringLiteral("T01");
            if (fault == 6) {
                old.fields[QStringLiteral("rydm")][1].size = 20;
                old.rows[QStringLiteral("rydm")][0][1] = QStringLiteral("欧阳诸葛司马懿德");
            }
            if (fault == 7)
                old.rows[QStringLiteral("user1")].clear();
        });
        const QDir d(oldDir.path());
        switch (fault) {
        case 0:
            QVERIFY(QFile::remove(d.filePath(QStringLiteral("niandu.db"))));
            break;
        case 1:
            truncateFile(d.filePath(QStringLiteral("GZL.DB")), 100);
            break;
        case 2:
            replaceFile(d.filePath(QStringLiteral("bmdm.db")), "bmdm,bmmc,ybmc\nB01,数学,理学院\n");
            break;
        case 3:
            patchFile(d.filePath(QStringLiteral("yuanbu.db")), 0x39, QByteArray(1, char(0x0D)));
            break;
        case 4:
            patchFile(d.filePath(QStringLiteral("niandu.db")), 0x6A, QByteArray("\xE4\x04", 2));
            break;
        case 8:
            truncateFile(d.filePath(QStringLiteral("sysparameter.mb")), 4096);
            break;
        case 9:
            replaceFile(d.filePath(QStringLiteral("sysparameter.mb")), "a text file, not memos");
            break;
        }
        const QStringList options = repair ? QStringList{QStringLiteral("--repair")} : QStringList{};

        QTemporaryDir empty;
        const QStringList before = contents(empty.path());
        CliRun r = runCli(args(empty.path(), oldDir.path(), options));
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(said), qPrintable(r.err));
        QCOMPARE(contents(empty.path()), before);

        TestStore store;
        const QStringList stored = contents(store.dir());
        r = runCli(args(store.dir(), oldDir.path(), options + QStringList{QStringLiteral("--replace")}));
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(said), qPrintable(r.err));
        QCOMPARE(contents(store.dir()), stored);
    }

    // --repair mends what has one right answer and says so, each change on a line; without it
    // the same old tables are refused with every conflict listed.
    void repairMendsAndLists()
    {
        QTemporaryDir oldDir;
        writeOld(oldDir, [](OldInstallationFixture& old) {
            old.rows[QStringLiteral("yuanbu")] << QVariantList{QStringLiteral("理学院")};
            old.rows[QStringLiteral("bmdm")]
                << QVariantList{QStringLiteral("B01"), QStringLiteral("代数教研室"), QStringLiteral("理学院")};
            old.rows[QStringLiteral("rydm")] << old.rows[QStringLiteral("rydm")][2];
            old.rows[QStringLiteral("rydm")][3][0] = QStringLiteral("T02");
            old.rows[QStringLiteral("gzl")][2][0] = 1;
        });
        QTemporaryDir target;
        CliRun r = runCli(args(target.path(), oldDir.path()));
        QCOMPARE(r.status, 1);
        for (const QString& line : {QStringLiteral("yuanbu 第 3 行: 院部 理学院 与第 1 行重复"),
                                    QStringLiteral("bmdm 第 4 行: 教研室代码 B01 与第 1 行重复"),
                                    QStringLiteral("rydm 第 4 行: 教师代码 T02 与第 2 行重复"),
                                    QStringLiteral("rydm 第 5 行: 教师代码 T03 与第 3 行重复"),
                                    QStringLiteral("gzl 第 3 行: 序号 1 与第 1 行重复"), QStringLiteral("共 5 处冲突"),
                                    QStringLiteral("--repair")})
            QVERIFY2(r.err.contains(line), qPrintable(line + u'\n' + r.err));
        QVERIFY(!Database::exists(target.path()));

        r = runCli(args(target.path(), oldDir.path(), {QStringLiteral("--repair")}));
        QVERIFY2(r.status == 0, qPrintable(r.err));
        for (const QString& line :
             {QStringLiteral("yuanbu 第 3 行: 院部 理学院 与第 1 行重复，整行相同，合并为一行"),
              QStringLiteral("bmdm 第 4 行: 教研室代码 B01 与第 1 行重复，代码改为 "),
              QStringLiteral("rydm 第 4 行: 教师代码 T02 与第 2 行重复，代码改为 "),
              QStringLiteral("rydm 第 5 行: 教师代码 T03 与第 3 行重复，整行相同，合并为一行"),
              QStringLiteral("gzl 第 3 行: 序号 1 与第 1 行重复，序号改为 8"), QStringLiteral("yuanbu: 2 rows"),
              QStringLiteral("bmdm: 4 rows"), QStringLiteral("rydm: 4 rows"), QStringLiteral("gzl: 7 rows")})
            QVERIFY2(r.out.contains(line), qPrintable(line + u'\n' + r.out));
        const QString d = target.path();
        QCOMPARE(count(d, QStringLiteral("select count(*) from yuanbu")), 2);
        QCOMPARE(count(d, QStringLiteral("select count(*) from bmdm where bmmc='代数教研室' and length(bmdm)=15")), 1);
        QCOMPARE(count(d, QStringLiteral("select count(*) from rydm where rymc='赵六' and length(rydm)=15")), 1);
        QCOMPARE(count(d, QStringLiteral("select count(*) from rydm where rymc='王五'")), 1);
        QCOMPARE(count(d, QStringLiteral("select count(*) from gzl where xh=8 and kname='概率论'")), 1);
        QCOMPARE(count(d, QStringLiteral("select count(distinct xh) from gzl")), 7);
    }

    // A long list of conflicts shows its first fifty and how many there are.
    void conflictListIsCut()
    {
        QTemporaryDir oldDir, target;
        writeOld(oldDir, [](OldInstallationFixture& old) {
            QList<QVariantList>& rows = old.rows[QStringLiteral("gzl")];
            for (int i = 0; i < 60; ++i)
                rows << rows[0];
        });
        const CliRun r = runCli(args(target.path(), oldDir.path()));
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err.count(QStringLiteral("与第 1 行重复")), 50);
        QVERIFY2(r.err.contains(u"共 60 处冲突，只列出前 50 处"), qPrintable(r.err));
    }

    // A dry run reads and checks everything and prints what a migration would, and writes nothing.
    void dryRunWritesNothing_data()
    {
        QTest::addColumn<bool>("withStore");
        QTest::newRow("no store") << false;
        QTest::newRow("a store") << true;
    }
    void dryRunWritesNothing()
    {
        QFETCH(bool, withStore);
        QTemporaryDir oldDir, target;
        writeOld(oldDir);
        std::optional<TestStore> store;
        const QString dir = withStore ? store.emplace().dir() : target.path();
        const QStringList before = contents(dir);
        const CliRun dry = runCli(args(dir, oldDir.path(), {QStringLiteral("--dry-run")}));
        QVERIFY2(dry.status == 0, qPrintable(dry.err));
        QVERIFY(dry.outLines().contains(u"dry run: nothing written"));
        QCOMPARE(contents(dir), before);

        QTemporaryDir other;
        const CliRun real = runCli(args(other.path(), oldDir.path()));
        QCOMPARE(real.status, 0);
        QCOMPARE(dry.outLines().mid(0, 8), real.outLines().mid(0, 8));
    }

    // An existing store is replaced only when asked, and then after a backup beside it: the old
    // installation's tables replace the store's, nothing is merged.
    void replaceKeepsABackup()
    {
        QTemporaryDir oldDir;
        writeOld(oldDir);
        TestStore store(true);
        CliRun r = runCli(args(store.dir(), oldDir.path()));
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(u"--replace"), qPrintable(r.err));
        QCOMPARE(count(store.dir(), QStringLiteral("select count(*) from yuanbu")), 3);

        r = runCli(args(store.dir(), oldDir.path(), {QStringLiteral("--replace")}));
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QStringList backups =
            QDir(store.dir()).entryList({QStringLiteral("workload.sqlite3.*.bak")}, QDir::Files);
        QCOMPARE(backups.size(), 1);
        QVERIFY2(r.out.contains(backups[0]), qPrintable(r.out));
        QCOMPARE(count(store.dir(), QStringLiteral("select count(*) from yuanbu")), 2);
        QCOMPARE(count(store.dir(), QStringLiteral("select count(*) from gzl")), 7);
        QCOMPARE(count(store.dir(), QStringLiteral("select count(*) from user1")), 2);
        QTemporaryDir keptDir;
        QVERIFY(QFile::copy(QDir(store.dir()).filePath(backups[0]), Database::storePath(keptDir.path())));
        QCOMPARE(count(keptDir.path(), QStringLiteral("select count(*) from yuanbu")), 3);
    }

    // The service reports each table as it checks it and as it writes it, up to its last row:
    // what the program's progress bar shows.
    void progressPerTable()
    {
        QTemporaryDir oldDir;
        writeOld(oldDir);
        Migration migration(oldDir.path(), false);
        QHash<QString, std::pair<qint64, qint64>> checked, written; // last done, total
        migration.setProgress([&](const QString& table, qint64 done, qint64 total, bool writing) {
            auto& seen = (writing ? written : checked)[table];
            QVERIFY(done >= seen.first);
            seen.first = done;
            if (total >= 0)
                seen.second = total;
        });
        QVERIFY(!migration.check().refused());
        TestStore store;
        migration.write(store.db());
        for (const QString& table : Migration::tables()) {
            QVERIFY2(checked.contains(table) && written.contains(table), qPrintable(table));
            QCOMPARE(checked[table].first, checked[table].second);
            QCOMPARE(written[table], checked[table]);
        }
        QCOMPARE(checked[QStringLiteral("gzl")].second, 7);
        QCOMPARE(count(store.dir(), QStringLiteral("select count(*) from gzl")), 7);
    }

    // The rows go in in one transaction: a store that refuses one of them keeps all it had, and
    // the command says what the store refused.
    void storeRefusalUndoesEverything()
    {
        QTemporaryDir oldDir;
        writeOld(oldDir);
        TestStore store(true);
        store.db().execute(QStringLiteral("create trigger refuse_third before insert on gzl when new.xh=3 begin "
                                          "select raise(abort, 'the third row is refused'); end"));
        const QString before = runCli({QStringLiteral("--dir"), store.dir(), QStringLiteral("sql"),
                                       QStringLiteral("select count(*), sum(xh) from gzl")})
                                   .out;
        const CliRun r = runCli(args(store.dir(), oldDir.path(), {QStringLiteral("--replace")}));
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(u"the third row is refused"), qPrintable(r.err));
        QCOMPARE(runCli({QStringLiteral("--dir"), store.dir(), QStringLiteral("sql"),
                         QStringLiteral("select count(*), sum(xh) from gzl")})
                     .out,
                 before);
        QCOMPARE(count(store.dir(), QStringLiteral("select count(*) from yuanbu")), 3);
        QCOMPARE(count(store.dir(), QStringLiteral("select count(*) from user1")), 2);
    }

    // What the old tables lack or keep otherwise is made to fit and listed: a settings record
    // without a row gets one with the last year, a column the old table does not have stays
    // empty, numbers kept in a number field where the store keeps text come as their exact text.
    void differencesAreListed()
    {
        QTemporaryDir oldDir, target;
        writeOld(oldDir, [](OldInstallationFixture& old) {
            old.rows[QStringLiteral("system")].clear();
            old.fields[QStringLiteral("rydm")].removeLast(); // q33
            for (QVariantList& row : old.rows[QStringLiteral("rydm")])
                row.removeLast();
            QList<OldTableWriter::Field>& parameters = old.fields[QStringLiteral("sysparameter")];
            parameters[4] = {QStringLiteral("S1"), char(0x06), 8}; // a Number field
            for (QVariantList& row : old.rows[QStringLiteral("sysparameter")])
                row[4] = row[4].isValid() ? QVariant(row[4].toDouble() + 0.1) : QVariant();
        });
        const CliRun r = runCli(args(target.path(), oldDir.path()));
        QVERIFY2(r.status == 0, qPrintable(r.err));
        for (const QString& line :
             {QStringLiteral("system: 原表中没有设置记录，添加一行，年度为 2026-2027学年"),
              QStringLiteral("rydm: 原表没有列 q33，迁移后为空"), QStringLiteral("system: 1 row")})
            QVERIFY2(r.outLines().contains(line), qPrintable(line + u'\n' + r.out));
        const QString d = target.path();
        QCOMPARE(rowsOf(d, QStringLiteral("select Nd from system")).value(0).value(0).toString(), Year);
        QCOMPARE(count(d, QStringLiteral("select count(*) from rydm where q33 is null")), 4);
        QCOMPARE(rowsOf(d, QStringLiteral("select s1 from sysparameter where fenlie=0 and shuoming='专业课'"))
                     .value(0)
                     .value(0)
                     .toString(),
                 QStringLiteral("40.1"));
        QCOMPARE(count(d, QStringLiteral("select count(*) from sysparameter where s1 is null")), 26);
    }
};

QTEST_GUILESS_MAIN(TestMigration)
#include "tst_migration.moc"
