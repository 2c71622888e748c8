// Many operators on one store at once: eight workloadctl processes for a few seconds, five adding
// rows for five teachers, one renaming a section back and forth, one importing a file and one
// calculating the year. Afterwards no row is lost or doubled, every serial is unique, and every
// teacher's totals are those that a calculation run alone gives. Runs on both engines; on the
// desktop store the processes take turns at the write lock, on a server they share it the same way.

#include "support/TestStore.h"

#include "../exchange/ImportFixtures.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace ImportFixtures;

namespace {

const QStringList Teachers{QStringLiteral("张一"), QStringLiteral("张二"), QStringLiteral("张三"),
                           QStringLiteral("张四"), QStringLiteral("张五")};

void fill(TestStore& s)
{
    s.db().execute(QStringLiteral("insert into yuanbu (mc) values ('理学院')"));
    s.db().execute(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('S01','数学教研室','理学院'), "
                                  "('S02','物理教研室','理学院')"));
    for (int i = 0; i < Teachers.size(); ++i)
        s.db().executeBound(QStringLiteral("insert into rydm (rydm,rymc,bmdm,ryzc,ryxz,rygw) "
                                           "values (?,?,'S01','中级','专职','无重点岗位')"),
                            {QStringLiteral("T%1").arg(i + 1), Teachers[i]});
}

// A shell loop of one command, run `times` times; stops at the first failure.
std::unique_ptr<QProcess> loop(const TestStore& store, const QStringList& command, int times)
{
    QStringList quoted;
    for (const QString& a : store.ctlArguments() + command)
        quoted << u'\'' + QString(a).replace(u'\'', QStringLiteral("'\\''")) + u'\'';
    const QString script = QStringLiteral("for i in $(seq %1); do '%2' %3 >/dev/null || exit 1; done")
                               .arg(times)
                               .arg(QStringLiteral(WORKLOADCTL), quoted.join(u' '));
    auto p = std::make_unique<QProcess>();
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
    if (!p->waitForStarted())
        qFatal("the shell does not start");
    return p;
}

} // namespace

class TestManyOperators : public QObject
{
    Q_OBJECT

private slots:
    void eightOperatorsAtOnce()
    {
        TestStore store;
        fill(store);
        QTemporaryDir files;
        const QString file = writeFile(files, {rowWith(QStringLiteral("李四"), QStringLiteral("化学教研室"),
                                                       QStringLiteral("理学院"), Year, 9001)});
        constexpr int RowsEach = 6;
        std::vector<std::unique_ptr<QProcess>> clients;
        for (const QString& teacher : Teachers)
            clients.push_back(loop(store, {QStringLiteral("row"),        QStringLiteral("add"),
                                           QStringLiteral("--year"),     Year,
                                           QStringLiteral("--teacher"),  teacher,
                                           QStringLiteral("--section"),  QStringLiteral("数学教研室"),
                                           QStringLiteral("--category"), QStringLiteral("理论实验"),
                                           QStringLiteral("--name"),     QStringLiteral("高等数学"),
                                           QStringLiteral("--class"),    QStringLiteral("数学1班"),
                                           QStringLiteral("--type"),     QStringLiteral("专业课"),
                                           QStringLiteral("--t1"),       QStringLiteral("48"),
                                           QStringLiteral("--r1"),       QStringLiteral("70")},
                                   RowsEach));
        clients.push_back(loop(store,
                               {QStringLiteral("section"), QStringLiteral("edit"), QStringLiteral("S02"),
                                QStringLiteral("--name"), QStringLiteral("物理实验教研室")},
                               1));
        clients.push_back(loop(store, {QStringLiteral("import"), file}, 1));
        clients.push_back(
            loop(store, {QStringLiteral("calc"), QStringLiteral("--year"), Year, QStringLiteral("--all")}, 3));
        for (auto& c : clients) {
            QVERIFY(c->waitForFinished(300000));
            QCOMPARE(c->exitCode(), 0);
        }

        QCOMPARE(store.count(QStringLiteral("gzl"), QStringLiteral("kname='高等数学'")),
                 int(Teachers.size()) * RowsEach);
        for (const QString& teacher : Teachers)
            QCOMPARE(store.count(QStringLiteral("gzl"), QStringLiteral("jiaoshi='%1'").arg(teacher)), RowsEach);
        QCOMPARE(store.scalar(QStringLiteral("select count(distinct xh) from gzl")),
                 store.scalar(QStringLiteral("select count(*) from gzl")));
        QCOMPARE(store.count(QStringLiteral("bmdm"), QStringLiteral("bmmc='物理实验教研室'")), 1);
        QCOMPARE(store.count(QStringLiteral("gzl"), QStringLiteral("jiaoshi='李四'")), 1);

        // The totals as a calculation run alone gives them, then once more: nothing changes.
        QProcess alone;
        alone.start(QStringLiteral(WORKLOADCTL),
                    store.ctlArguments() +
                        QStringList{QStringLiteral("calc"), QStringLiteral("--year"), Year, QStringLiteral("--all")});
        QVERIFY(alone.waitForFinished(60000));
        QCOMPARE(alone.exitCode(), 0);
        const QString totals = QStringLiteral("select rydm, q, q11, q12 from rydm order by rydm");
        const Database::Result first = store.db().select(totals);
        for (const QVariantList& r : first.rows) {
            const QString rydm = r.value(0).toString();
            if (!rydm.startsWith(u'T'))
                continue;
            // Each teacher's classroom total is the sum of their rows' classroom workload.
            const QString sum = store.scalar(
                QStringLiteral(
                    "select round(sum(q11)*100)/100 from gzl, rydm where rydm.rymc=gzl.jiaoshi and rydm='%1'")
                    .arg(rydm));
            QCOMPARE(r.value(2).toDouble(), sum.toDouble());
            QVERIFY(r.value(2).toDouble() > 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestManyOperators)
#include "tst_many_operators.moc"
