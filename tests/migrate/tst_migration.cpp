#include "OldInstallationFixture.h"
#include "calc/WorkloadCalculator.h"
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
};

QTEST_GUILESS_MAIN(TestMigration)
#include "tst_migration.moc"
