#include "masterdata/MasterDataFixture.h"
#include "masterdata/MasterDataText.h"
#include "support/CliRun.h"

#include <QTest>

namespace {

CliRun run(MasterDataFixture& f, const QStringList& args)
{
    return runCli(f.store.ctlArguments() + args);
}

} // namespace

class TestMasterDataCli : public QObject
{
    Q_OBJECT
private slots:
    void lists_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("faculties") << QStringList{"faculty", "list"}
                                   << QStringList{"mc", "理学院", "文学院", "农学院", "工学院"};
        QTest::newRow("sections of a faculty")
            << QStringList{"section", "list", "--faculty", "文学院"}
            << QStringList{"bmdm\tbmmc\tybmc", "S03\t数学教研室\t文学院", "S04\t中文教研室\t文学院"};
        QTest::newRow("teachers of a section") << QStringList{"teacher", "list", "--section", "S01"}
                                               << QStringList{"rydm\trymc\tbmdm\tbmmc\tryzc\tryxz\trygw",
                                                              "T01\t张三\tS01\t数学教研室\t中级\t专职\t无重点岗位",
                                                              "T02\t李四\tS01\t数学教研室\t初级\t专职\t无重点岗位"};
    }
    void lists()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, lines);
        MasterDataFixture f;
        const CliRun r = run(f, args);
        QCOMPARE(r.status, 0);
        QCOMPARE(r.outLines(), lines);
        QCOMPARE(r.err, QString());
    }

    void wholeLists()
    {
        MasterDataFixture f;
        // A teacher whose section is gone is listed too.
        f.store.db().execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm) values ('T99','孤','S99')"));
        QCOMPARE(run(f, {"section", "list"}).outLines().size(), 6);
        const QStringList teachers = run(f, {"teacher", "list"}).outLines();
        QCOMPARE(teachers.size(), 7);
        QCOMPARE(teachers.last(), QStringLiteral("T99\t孤\tS99\t\t\t\t"));
    }

    void changes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("out"); // stdout lines, or stderr's first line on a refusal
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("expected");

        QTest::newRow("faculty add") << QStringList{"faculty", "add", "医学院"} << 0
                                     << QStringList{"yuanbu: 1 row inserted"} << "select count(*) from yuanbu"
                                     << "5";
        QTest::newRow("faculty add, name exists")
            << QStringList{"faculty", "add", "文学院"} << 1 << QStringList{MasterDataText::FacultyFailed}
            << "select count(*) from yuanbu"
            << "4";
        QTest::newRow("faculty rename") << QStringList{"faculty", "rename", "理学院", "理'学院"} << 0
                                        << QStringList{"yuanbu: 1 row updated", "bmdm: 2 rows updated",
                                                       "gzl: 3 rows updated", "system: 1 row updated"}
                                        << "select yx||(select count(*) from bmdm where ybmc='理''学院') from system"
                                        << "理'学院2";
        QTest::newRow("faculty rename, unknown") << QStringList{"faculty", "rename", "医学院", "药学院"} << 1
                                                 << QStringList{MasterDataText::FacultyMissing.arg("医学院")}
                                                 << "select count(*) from yuanbu where mc='药学院'"
                                                 << "0";
        QTest::newRow("faculty delete") << QStringList{"faculty", "delete", "工学院"} << 0
                                        << QStringList{"yuanbu: 1 row deleted"} << "select count(*) from yuanbu"
                                        << "3";
        QTest::newRow("faculty delete, sections")
            << QStringList{"faculty", "delete", "农学院"} << 1 << QStringList{MasterDataText::FacultyHasSections}
            << "select count(*) from yuanbu"
            << "4";
        QTest::newRow("faculty delete, workload")
            << QStringList{"faculty", "delete", "理学院"} << 1 << QStringList{MasterDataText::FacultyHasWorkload}
            << "select count(*) from yuanbu"
            << "4";
        QTest::newRow("faculty delete, unknown")
            << QStringList{"faculty", "delete", "医学院"} << 1
            << QStringList{MasterDataText::FacultyMissing.arg("医学院")} << "select count(*) from yuanbu"
            << "4";

        QTest::newRow("section add") << QStringList{"section", "add", "--faculty", "工学院", "S06", "机械教研室"} << 0
                                     << QStringList{"bmdm: 1 row inserted"}
                                     << "select ybmc||bmmc from bmdm where bmdm='S06'"
                                     << "工学院机械教研室";
        QTest::newRow("section add, unknown faculty")
            << QStringList{"section", "add", "--faculty", "医学院", "S06", "x"} << 1
            << QStringList{MasterDataText::FacultyMissing.arg("医学院")} << "select count(*) from bmdm"
            << "5";
        QTest::newRow("section add, code exists")
            << QStringList{"section", "add", "--faculty", "工学院", "S03", "x"} << 1
            << QStringList{MasterDataText::SectionDuplicate} << "select count(*) from bmdm"
            << "5";
        QTest::newRow("section new code") << QStringList{"section", "edit", "S01", "--code", "S11"} << 0
                                          << QStringList{"bmdm: 1 row updated", "gzl: 2 rows updated",
                                                         "rydm: 2 rows updated", "system: 1 row updated"}
                                          << "select jys||bmmc from system, bmdm where bmdm='S11'"
                                          << "S11数学教研室";
        QTest::newRow("section new name")
            << QStringList{"section", "edit", "S02", "--name", "物理系"} << 0
            << QStringList{"bmdm: 1 row updated", "gzl: 1 row updated", "system: 0 rows updated"}
            << "select jiaoyanshi from gzl where xh=4"
            << "物理系";
        QTest::newRow("section edit, unknown")
            << QStringList{"section", "edit", "S99", "--name", "x"} << 1
            << QStringList{MasterDataText::SectionMissing.arg("S99")} << "select count(*) from bmdm where bmmc='x'"
            << "0";
        QTest::newRow("section delete") << QStringList{"section", "delete", "S05"} << 0
                                        << QStringList{"bmdm: 1 row deleted"} << "select count(*) from bmdm"
                                        << "4";
        QTest::newRow("section delete, teachers")
            << QStringList{"section", "delete", "S04"} << 1 << QStringList{MasterDataText::SectionHasTeachers}
            << "select count(*) from bmdm"
            << "5";

        QTest::newRow("teacher add, defaults")
            << QStringList{"teacher", "add", "--section", "S05", "T06", "钱七"} << 0
            << QStringList{"rydm: 1 row inserted"} << "select bmdm||ryzc||ryxz||rygw from rydm where rydm='T06'"
            << "S05中级专职无重点岗位";
        QTest::newRow("teacher add, attributes")
            << QStringList{"teacher", "add",    "--section", "S05",  "T06",    "钱七",
                           "--title", "正高级", "--nature",  "兼职", "--post", "重点 2 级"}
            << 0 << QStringList{"rydm: 1 row inserted"} << "select ryzc||ryxz||rygw from rydm where rydm='T06'"
            << "正高级兼职重点 2 级";
        QTest::newRow("teacher add, unknown section")
            << QStringList{"teacher", "add", "--section", "S99", "T06", "钱七"} << 1
            << QStringList{MasterDataText::SectionMissing.arg("S99")} << "select count(*) from rydm"
            << "5";
        QTest::newRow("teacher add, code exists")
            << QStringList{"teacher", "add", "--section", "S05", "T01", "钱七"} << 1
            << QStringList{MasterDataText::TeacherDuplicate} << "select count(*) from rydm"
            << "5";
        // Unnamed attributes keep their values.
        QTest::newRow("teacher edit") << QStringList{"teacher", "edit", "T01", "--name", "张叁"} << 0
                                      << QStringList{"rydm: 1 row updated", "gzl: 2 rows updated"}
                                      << "select rymc||ryzc||rygw from rydm where rydm='T01'"
                                      << "张叁中级无重点岗位";
        QTest::newRow("teacher edit, unknown")
            << QStringList{"teacher", "edit", "T99", "--name", "x"} << 1
            << QStringList{MasterDataText::TeacherMissing.arg("T99")} << "select count(*) from rydm where rymc='x'"
            << "0";
        QTest::newRow("teacher delete") << QStringList{"teacher", "delete", "T02"} << 0
                                        << QStringList{"rydm: 1 row deleted"} << "select count(*) from rydm"
                                        << "4";
        QTest::newRow("teacher delete, workload")
            << QStringList{"teacher", "delete", "T01"} << 1 << QStringList{MasterDataText::TeacherHasWorkload}
            << "select count(*) from rydm"
            << "5";
    }
    void changes()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QStringList, out);
        QFETCH(QString, check);
        QFETCH(QString, expected);
        MasterDataFixture f;
        f.store.data().Tbsystem->post(); // the selection as the program last stored it
        const CliRun r = run(f, args);
        QCOMPARE(r.status, status);
        if (status == 0) {
            QCOMPARE(r.outLines(), out);
            QCOMPARE(r.err, QString());
        } else {
            QCOMPARE(r.out, QString());
            QCOMPARE(r.err.split(u'\n').first(), out.first());
        }
        QCOMPARE(f.store.scalar(check), expected);
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no action") << QStringList{"faculty"};
        QTest::newRow("unknown action") << QStringList{"teacher", "hire", "T1"};
        QTest::newRow("rename without the new name") << QStringList{"faculty", "rename", "理学院"};
        QTest::newRow("unknown option") << QStringList{"faculty", "list", "--bogus", "x"};
        QTest::newRow("section add without faculty") << QStringList{"section", "add", "S06", "x"};
        QTest::newRow("section edit without a change") << QStringList{"section", "edit", "S01"};
        QTest::newRow("teacher add without section") << QStringList{"teacher", "add", "T06", "钱七"};
        QTest::newRow("option of another action") << QStringList{"teacher", "delete", "T02", "--title", "x"};
        QTest::newRow("option without value") << QStringList{"teacher", "edit", "T02", "--name"};
        QTest::newRow("section given twice")
            << QStringList{"teacher", "add", "--section", "S01", "T06", "钱七", "--section", "S02"};
        QTest::newRow("name given twice") << QStringList{"teacher", "edit", "T02", "--name", "甲", "--name", "乙"};
    }
    void usageErrors()
    {
        QFETCH(QStringList, args);
        MasterDataFixture f;
        const QString teachers = QStringLiteral("select count(*) || ':' || group_concat(rydm || rymc || bmdm, ',') "
                                                "from (select * from rydm order by rydm)");
        const QString before = f.store.scalar(teachers);
        const CliRun r = run(f, args);
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains(u"usage: workloadctl"));
        QCOMPARE(f.store.scalar(teachers), before);
    }
};

QTEST_GUILESS_MAIN(TestMasterDataCli)
#include "tst_masterdata_cli.moc"
