#include "masterdata/Organisation.h"
#include "reports/TeacherListReport.h"
#include "reports/TeacherListSource.h"
#include "session/Session.h"
#include "support/TestStore.h"

#include <QTest>

namespace {

const QString Year = QStringLiteral("2026-2027学年");

// 理学院: 数学教研室 (S01: 张三 with all seven totals, 李四 with none), 物理教研室 (S02: 王五).
void fill(Database& db)
{
    db.execute(QStringLiteral("insert into yuanbu (mc) values ('理学院')"));
    db.execute(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('S01','数学教研室','理学院'),"
                              "('S02','物理教研室','理学院')"));
    db.execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm,q11,q12,q2,q31,q32,q33,q) values "
                              "('T01','张三','S01',100.5,15.08,20,0,12,0,147.58),"
                              "('T02','李四','S01',null,null,null,null,null,null,null),"
                              "('T03','王五','S02',80,12,0,0,0,20,112)"));
}

QStringList names(const TeacherListData& data)
{
    QStringList result;
    for (const TeacherListRow& row : data.rows)
        result << row.rymc;
    return result;
}

} // namespace

class TestReportSource : public QObject
{
    Q_OBJECT

private slots:
    void readsTheHolderToItsLastRow();
    void titleAfterAnotherScreenReloadedTheList();
    void closedHolderGivesNoLines();
};

void TestReportSource::readsTheHolderToItsLastRow()
{
    TestStore store;
    fill(store.db());
    Session session;
    session.select(Selection::faculty(Year, QStringLiteral("理学院")));
    QCOMPARE(Organisation(store.data()).listFacultyTeachers(QStringLiteral("理学院")), 3);
    Query& dtrydm = *store.data().dtrydm;
    dtrydm.moveTo(1);

    const TeacherListData data = TeacherListSource::read(store.data(), session);
    QCOMPARE(data.title(), QStringLiteral("2026-2027学年理学院工作量一览表"));
    // The grid's order: by section code, then teacher code.
    QCOMPARE(names(data), (QStringList{QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五")}));
    const TeacherListRow& full = data.rows[0];
    QCOMPARE(full.totals(), (std::vector<std::optional<double>>{100.5, 15.08, 20, 0, 12, 0, 147.58}));
    for (const std::optional<double>& total : data.rows[1].totals())
        QVERIFY(!total.has_value());
    QCOMPARE(data.rows[2].figure("q33"), std::optional<double>(20));
    QVERIFY(data.generatedAt.isValid());
    // The walk ends with the holder on its last row.
    QCOMPARE(dtrydm.currentRow(), 2);
    QVERIFY(dtrydm.eof());
    QCOMPARE(dtrydm.fieldByName(QStringLiteral("rymc")).asString(), QStringLiteral("王五"));
}

void TestReportSource::titleAfterAnotherScreenReloadedTheList()
{
    TestStore store;
    fill(store.db());
    Session session;
    session.select(Selection::section(Year, QStringLiteral("数学教研室")));
    Organisation(store.data()).listSectionTeachers(QStringLiteral("数学教研室"));
    // Another screen (the teacher screen) puts its own list of the other section into dtrydm.
    store.data().dtrydm->setStatement({QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and "
                                                      "rydm.bmdm='S02' order by rydm")});
    store.data().dtrydm->open();

    const TeacherListReport report(TeacherListSource::read(store.data(), session));
    QCOMPARE(names(report.data()), QStringList{QStringLiteral("王五")});
    QCOMPARE(report.title(), QStringLiteral("2026-2027学年数学教研室工作量一览表"));
    // The next selection's title goes with whatever the holder holds then.
    session.select(Selection::faculty(Year, QStringLiteral("理学院")));
    QCOMPARE(TeacherListSource::read(store.data(), session).title(), QStringLiteral("2026-2027学年理学院工作量一览表"));
}

void TestReportSource::closedHolderGivesNoLines()
{
    TestStore store;
    fill(store.db());
    const QDateTime at(QDate(2026, 3, 5), QTime(9, 0));
    const TeacherListData data = TeacherListSource::read(*store.data().dtrydm, QStringLiteral("T"), at);
    QVERIFY(data.rows.empty());
    QCOMPARE(data.generatedAt, at);
    QCOMPARE(data.title(), QStringLiteral("T一览表"));
}

QTEST_GUILESS_MAIN(TestReportSource)
#include "tst_report_source.moc"
