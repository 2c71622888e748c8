#include "OldInstallationFixture.h"
#include "store/Database.h"
#include "store/PasswordHash.h"
#include "store/StoreSchema.h"
#include "support/CliRun.h"
#include "support/TestStore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

QList<QVariantList> rowsOf(Database& db, const QString& statement)
{
    const Database::Result r = db.select(statement);
    QList<QVariantList> rows;
    for (std::size_t i = 0; i < r.rows.size(); ++i)
        rows << r.rows.row(i);
    return rows;
}

// The current directory for the test's duration: where a server store's backup is written.
class CurrentDir
{
public:
    CurrentDir() : m_previous(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }
    ~CurrentDir() { QDir::setCurrent(m_previous); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

} // namespace

// The migration talks to the store only through the store interface: it replaces the tables of a
// desktop store and of a server store alike (run on both engines).
class TestMigrationEngines : public QObject
{
    Q_OBJECT
private slots:
    void replacesTheStoresTables()
    {
        TestStore hand;
        for (const char* s :
             {"insert into yuanbu (mc) values ('理学院')",
              "insert into bmdm (bmdm,bmmc,ybmc) values ('B01','数学教研室','理学院')",
              "insert into rydm (rydm,rymc,bmdm,ryzc,ryxz,rygw,q) values "
              "('T01','张三','B01','中级','专职','无重点岗位',12.5)",
              "insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,gm,r1,kname,t1,nd,fl) values "
              "(1,'张三','理学院','数学教研室',0,0.1,'高等数学 ',64,'2026-2027学年','理论实验')",
              "insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,gm,r1,kname,t1,nd,fl) values "
              "(2,'张三','理学院','数学教研室',1,45,'线性代数',0.0000001,'2026-2027学年','理论实验')",
              // Blank texts are blank (NULL) in a Paradox table.
              "update sysparameter set s1=NULL where s1=''", "update sysparameter set s2=NULL where s2=''",
              "update sysparameter set yan=NULL where yan=''",
              "update system set yx='理学院',jys='B01',jysmc='数学教研室'"})
            hand.db().execute(QString::fromUtf8(s));
        QTemporaryDir oldDir;
        OldInstallationFixture(hand.db(), {{QStringLiteral("001"), QStringLiteral("旧口令")}}).write(oldDir.path());

        TestStore target(true);
        const CurrentDir current;
        const StoreLocation where = target.location();
        const QStringList store = where.isServer() ? QStringList{QStringLiteral("--server"), where.server}
                                                   : QStringList{QStringLiteral("--dir"), where.dataDir};
        const CliRun r =
            runCli(store + QStringList{QStringLiteral("migrate"), oldDir.path(), QStringLiteral("--replace")});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY2(r.outLines().contains(u"gzl: 2 rows"), qPrintable(r.out));
        const QStringList kept = where.isServer()
                                     ? QDir(current.path()).entryList({QStringLiteral("workload-server.*.bak")})
                                     : QDir(where.dataDir).entryList({QStringLiteral("workload.sqlite3.*.bak")});
        QCOMPARE(kept.size(), 1);

        TestStore::Reopened migrated(where);
        QCOMPARE(migrated.count(QStringLiteral("yuanbu")), 1);
        QCOMPARE(migrated.count(QStringLiteral("rydm")), 1);
        auto db = Database::open(where);
        // The store's columns by name: a server table has a row number of its own besides them.
        for (const auto& [table, order] : {std::pair{QStringLiteral("gzl"), QStringLiteral("xh")},
                                           std::pair{QStringLiteral("rydm"), QStringLiteral("rydm")},
                                           std::pair{QStringLiteral("sysparameter"), QStringLiteral("fenlie, sunxu")},
                                           std::pair{QStringLiteral("system"), QStringLiteral("Nd")}}) {
            QStringList columns;
            for (const StoreSchema::ColumnDef& c : StoreSchema::tableColumns(table))
                columns << QString::fromLatin1(c.name);
            const QString statement =
                QStringLiteral("select %1 from %2 order by %3").arg(columns.join(u','), table, order);
            QCOMPARE(rowsOf(*db, statement), rowsOf(hand.db(), statement));
        }
        const QList<QVariantList> operators = rowsOf(*db, QStringLiteral("select name, password1 from user1"));
        QCOMPARE(operators.size(), 2);
        for (const QVariantList& row : operators)
            QVERIFY(PasswordHash::verify(row[1].toString(),
                                         row[0].toString() == u"001" ? QStringLiteral("旧口令") : QString()));
    }
};

QTEST_GUILESS_MAIN(TestMigrationEngines)
#include "tst_migration_engines.moc"
