#include "ExchangeFixtures.h"
#include "ImportFixtures.h"
#include "exchange/DbaseFile.h"
#include "exchange/ParadoxFile.h"
#include "exchange/WorkloadExport.h"
#include "exchange/WorkloadImport.h"
#include "session/Selection.h"
#include "store/Sql.h"
#include "store/SqliteDatabase.h"
#include "support/CliRun.h"
#include "support/TestStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <bit>
#include <limits>

using namespace ExchangeFixtures;
using namespace ImportFixtures;

namespace {

void addRow(TestStore& s, int xh, const QString& teacher, const QString& section, const QString& faculty,
            const QString& year, double q11 = 1)
{
    s.db().execute(QStringLiteral("insert into gzl (xh,jiaoshi,jiaoyanshi,yuanbu,nd,fl,q11) values (%1,%2,%3,%4,%5,"
                                  "'理论实验',%6)")
                       .arg(xh)
                       .arg(Sql::quote(teacher), Sql::quote(section), Sql::quote(faculty), Sql::quote(year))
                       .arg(q11));
}

// A known faculty, section and teacher.
void addTeacher(TestStore& s, const QString& code, const QString& teacher, const QString& sectionCode,
                const QString& section, const QString& faculty)
{
    if (s.count(QStringLiteral("yuanbu"), QStringLiteral("mc=") + Sql::quote(faculty)) == 0)
        s.db().execute(QStringLiteral("insert into yuanbu (mc) values (%1)").arg(Sql::quote(faculty)));
    if (s.count(QStringLiteral("bmdm"), QStringLiteral("bmdm=") + Sql::quote(sectionCode)) == 0)
        s.db().execute(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values (%1,%2,%3)")
                           .arg(Sql::quote(sectionCode), Sql::quote(section), Sql::quote(faculty)));
    s.db().execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm,ryzc,ryxz,rygw) values (%1,%2,%3,'中级','专职',"
                                  "'无重点岗位')")
                       .arg(Sql::quote(code), Sql::quote(teacher), Sql::quote(sectionCode)));
}

} // namespace

class TestExchangeImport : public QObject
{
    Q_OBJECT
private slots:
    // The export selects a node's rows and copies them, exactly, into the work table and the file
    // in year, section, teacher order.
    void exportSelectsOrdersAndInserts()
    {
        TestStore s;
        addRow(s, 1, QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year);
        addRow(s, 2, QStringLiteral("李四"), QStringLiteral("物理教研室"), QStringLiteral("理学院"), OldYear);
        addRow(s, 3, QStringLiteral("安娜"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year);
        addRow(s, 4, QStringLiteral("王五"), QStringLiteral("化学教研室"), QStringLiteral("理学院"), Year);
        addRow(s, 5, QStringLiteral("赵六"), QStringLiteral("机械教研室"), QStringLiteral("工学院"), Year);
        s.db().execute(QStringLiteral("update gzl set banji='O''Neil班', k11=0.1+0.2 where xh=1"));

        WorkloadExport exporter(s.data());
        QCOMPARE(exporter.selectRows(Selection::faculty(QStringLiteral("学年"), QStringLiteral("理学院"))), 4);
        QCOMPARE(
            s.data().dtbmdm1->lines(),
            (QStringList{QStringLiteral("select * from gzl"),
                         QStringLiteral("where nd like '%学年%' and yuanbu='理学院' order by nd,jiaoyanshi,jiaoshi")}));
        QList<int> progress;
        exporter.fillWorkTable(WorkloadExport::Format::Paradox, [&](int p, const QString&) { progress << p; });
        QCOMPARE(progress, (QList<int>{5, 7, 29, 51, 73, 95}));
        QCOMPARE(s.data().xssj2->lines(), QStringList{QStringLiteral("delete from gzl_temp")});
        QCOMPARE(s.scalar(QStringLiteral("select group_concat(xh) from gzl_temp")), QStringLiteral("2,4,3,1"));

        QTemporaryDir dir;
        const QString path = exporter.writeFile(WorkloadExport::Format::Paradox, dir.filePath(QStringLiteral("bt")));
        QCOMPARE(path, dir.filePath(QStringLiteral("bt.dbt")));
        const ExchangeTable t = ParadoxFile::read(path);
        QStringList order;
        for (const QVariantList& r : t.rows)
            order << r[*t.indexOf(QStringLiteral("xh"))].toString();
        QCOMPARE(order, (QStringList{"2", "4", "3", "1"}));
        QCOMPARE(t.rows[3][*t.indexOf(QStringLiteral("banji"))].toString(), QStringLiteral("O'Neil班"));
        QVERIFY(t.rows[3][*t.indexOf(QStringLiteral("k11"))].toDouble() == 0.1 + 0.2);
        QVERIFY(t.rows[3][*t.indexOf(QStringLiteral("k31"))].isNull());
    }

    void roundTripThroughStores_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("dbt") << QStringLiteral("dbt");
        QTest::newRow("dbf") << QStringLiteral("dbf");
    }

    // A year exported from one store and imported into an empty one arrives value for value,
    // with its faculties, sections and teachers.
    void roundTripThroughStores()
    {
        QFETCH(QString, format);
        TestStore from(true);
        from.db().execute(QStringLiteral("update gzl set q11=1.0/3, k12=1e-7, r1=NULL, kname='O''Neil' where xh in "
                                         "(select min(xh) from gzl)"));
        WorkloadExport exporter(from.data());
        const int n = exporter.selectRows(Selection::year(Year));
        QVERIFY(n > 50);
        const auto f = format == u"dbt" ? WorkloadExport::Format::Paradox : WorkloadExport::Format::Dbase;
        exporter.fillWorkTable(f);
        QTemporaryDir dir;
        const QString path = exporter.writeFile(f, dir.filePath(QStringLiteral("bt")));

        TestStore to;
        const Imported result = importFile(to, path);
        QCOMPARE(result.outcome, WorkloadImport::Outcome::Ready);
        QCOMPARE(result.counts.rows, n);
        const QString sql = QStringLiteral("select * from gzl where nd='%1' order by xh, jiaoshi").arg(Year);
        const std::vector<QVariantList> a = withoutRowNumbers(from.db().select(sql));
        const std::vector<QVariantList> b = withoutRowNumbers(to.db().select(sql));
        QCOMPARE(b.size(), a.size());
        for (std::size_t i = 0; i < a.size(); ++i)
            QCOMPARE(b[i], a[i]);
        const QString teachers =
            QStringLiteral("select count(distinct jiaoshi||'/'||jiaoyanshi) from gzl where nd='%1'").arg(Year);
        QCOMPARE(result.counts.teachers, from.scalar(teachers).toInt());
        QCOMPARE(to.count(QStringLiteral("rydm")), result.counts.teachers);
        QCOMPARE(result.counts.faculties, from.scalar(QStringLiteral("select count(distinct yuanbu) from gzl where "
                                                                     "nd='%1'")
                                                          .arg(Year))
                                              .toInt());
    }

    // A known teacher's rows of the file's years in that section are replaced; other years and
    // other teachers keep theirs.
    void knownTeacherRowsOfFileYearsReplaced()
    {
        TestStore s;
        addTeacher(s, QStringLiteral("T1"), QStringLiteral("张三"), QStringLiteral("S1"), QStringLiteral("数学教研室"),
                   QStringLiteral("理学院"));
        addTeacher(s, QStringLiteral("T2"), QStringLiteral("李四"), QStringLiteral("S1"), QStringLiteral("数学教研室"),
                   QStringLiteral("理学院"));
        addRow(s, 100, QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year);
        addRow(s, 101, QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year);
        addRow(s, 102, QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), OldYear);
        addRow(s, 103, QStringLiteral("李四"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year);

        QTemporaryDir dir;
        const QString path = writeFile(
            dir, {rowWith(QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 1),
                  rowWith(QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 2)});
        const Imported result = importFile(s, path);
        QCOMPARE(result.outcome, WorkloadImport::Outcome::Ready);
        QCOMPARE(result.counts.teachers, 0);
        QCOMPARE(result.counts.sections, 0);
        QCOMPARE(s.scalar(QStringLiteral("select group_concat(xh) from (select xh from gzl order by xh)")),
                 QStringLiteral("1,2,102,103"));
    }

    // The same file twice: the same rows, and nothing created the second time.
    void importingTwiceCreatesNothingNew()
    {
        TestStore s;
        QTemporaryDir dir;
        const QString path = writeFile(
            dir, {rowWith(QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 1),
                  rowWith(QStringLiteral("李四"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 2),
                  rowWith(QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), OldYear, 3)});
        const Imported first = importFile(s, path);
        QCOMPARE(first.counts.faculties, 1);
        QCOMPARE(first.counts.sections, 1);
        QCOMPARE(first.counts.teachers, 2);
        const std::vector<QVariantList> once = dump(s);

        const Imported second = importFile(s, path);
        QCOMPARE(second.counts.rows, 3);
        QCOMPARE(second.counts.faculties + second.counts.sections + second.counts.teachers, 0);
        QCOMPARE(dump(s), once);
    }

    void reimportIntoItsStore_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("teacher");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("faculty");
        QTest::addColumn<bool>("plainBeside"); // the same names without their trailing blanks are known too
        const struct
        {
            const char* name;
            const char* teacher;
            const char* section;
            const char* faculty;
            bool plainBeside;
        } cases[] = {
            {"plain names", "张三", "数学教研室", "理学院", false},
            {"blank at both ends", " 名 ", " 名 ", " 名 ", false},
            {"a blank only", " ", " ", " ", false},
            {"trailing blanks beside the plain names", "张三  ", "数学教研室 ", "理学院 ", true},
        };
        for (const char* format : {"dbt", "dbf"})
            for (const auto& c : cases)
                QTest::addRow("%s %s", format, c.name)
                    << QString::fromLatin1(format) << QString::fromUtf8(c.teacher) << QString::fromUtf8(c.section)
                    << QString::fromUtf8(c.faculty) << c.plainBeside;
    }

    // A file exported from a store and imported back into it finds every faculty, section and
    // teacher it names, blanks and all, creates nothing and leaves the rows as they were.
    void reimportIntoItsStore()
    {
        QFETCH(QString, format);
        QFETCH(QString, teacher);
        QFETCH(QString, section);
        QFETCH(QString, faculty);
        QFETCH(bool, plainBeside);
        TestStore s;
        addTeacher(s, QStringLiteral("T1"), teacher, QStringLiteral("S1"), section, faculty);
        addRow(s, 1, teacher, section, faculty, Year);
        addRow(s, 2, teacher, section, faculty, OldYear);
        if (plainBeside) {
            const auto plain = [](QString name) {
                while (name.endsWith(u' '))
                    name.chop(1);
                return name;
            };
            addTeacher(s, QStringLiteral("T2"), plain(teacher), QStringLiteral("S2"), plain(section), plain(faculty));
            addRow(s, 3, plain(teacher), plain(section), plain(faculty), Year, 2);
        }
        // A file has no missing text, only empty text.
        s.db().execute(QStringLiteral(
            "update gzl set yan='', banji='', kname='', shuoming='', xingzhi='', zhicheng='', gangwei=''"));
        WorkloadExport exporter(s.data());
        const int n = exporter.selectRows(Selection::year(QStringLiteral("学年")));
        const auto f = format == u"dbt" ? WorkloadExport::Format::Paradox : WorkloadExport::Format::Dbase;
        exporter.fillWorkTable(f);
        QTemporaryDir dir;
        const QString path = exporter.writeFile(f, dir.filePath(QStringLiteral("bt")));
        const std::vector<QVariantList> before = dump(s);

        const Imported result = importFile(s, path);
        QCOMPARE(result.outcome, WorkloadImport::Outcome::Ready);
        QCOMPARE(result.counts.rows, n);
        QCOMPARE(result.counts.faculties, 0);
        QCOMPARE(result.counts.sections, 0);
        QCOMPARE(result.counts.teachers, 0);
        QCOMPARE(dump(s), before);
    }

    // Rows whose teacher is "教师" are neither counted nor imported.
    void rowsNamedTeacherSkipped()
    {
        TestStore s;
        QTemporaryDir dir;
        const QString mixed = writeFile(
            dir, {rowWith(QStringLiteral("教师"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 1),
                  rowWith(QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 2)});
        const Imported result = importFile(s, mixed);
        QCOMPARE(result.counts.rows, 1);
        QCOMPARE(s.scalar(QStringLiteral("select group_concat(jiaoshi) from gzl")), QStringLiteral("张三"));

        const std::vector<QVariantList> before = dump(s);
        const QString only = writeFile(
            dir, {rowWith(QStringLiteral("教师"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 3)},
            QStringLiteral("only.dbf"));
        QCOMPARE(importFile(s, only).outcome, WorkloadImport::Outcome::NoRows);
        QCOMPARE(WorkloadImport::message(WorkloadImport::Outcome::NoRows),
                 QStringLiteral("没有满足条件的数据，请确认接收的文件是否正确!"));
        QCOMPARE(dump(s), before);
    }

    void endingChoosesFormat_data()
    {
        QTest::addColumn<QString>("written"); // the format of the content
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("outcome");
        using O = WorkloadImport::Outcome;
        QTest::newRow("DBT") << "dbt"
                             << "BT.DBT" << int(O::Ready);
        QTest::newRow("dbt") << "dbt"
                             << "bt.dbt" << int(O::Ready);
        QTest::newRow("Dbf") << "dbf"
                             << "bt.Dbf" << int(O::Ready);
        QTest::newRow("no dot") << "dbt"
                                << "btdbt" << int(O::Ready);
        QTest::newRow(".db") << "dbt"
                             << "bt.db" << int(O::CopyFailed);
        QTest::newRow("other ending") << "dbt"
                                      << "bt.txt" << int(O::CopyFailed);
        QTest::newRow("Paradox named dbf") << "dbt"
                                           << "bt.dbf" << int(O::NotOurFile);
        QTest::newRow("dBASE named dbt") << "dbf"
                                         << "bt.dbt" << int(O::NotOurFile);
    }

    // The last three letters of the path, in upper case, choose the format.
    void endingChoosesFormat()
    {
        QFETCH(QString, written);
        QFETCH(QString, name);
        QFETCH(int, outcome);
        TestStore s;
        QTemporaryDir dir;
        const QString source = writeFile(
            dir, {rowWith(QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 1)},
            QStringLiteral("source.") + written);
        const QString path = dir.filePath(name);
        QVERIFY(QFile::copy(source, path));
        const std::vector<QVariantList> before = dump(s);
        const Imported result = importFile(s, path);
        QCOMPARE(int(result.outcome), outcome);
        QCOMPARE(s.count(QStringLiteral("gzl")), outcome == int(WorkloadImport::Outcome::Ready) ? 1 : 0);
        if (outcome != int(WorkloadImport::Outcome::Ready))
            QCOMPARE(dump(s), before);
    }

    void missingFileIsACopyFailure()
    {
        TestStore s;
        QCOMPARE(importFile(s, QStringLiteral("/nonexistent/bt.dbt")).outcome, WorkloadImport::Outcome::CopyFailed);
        QCOMPARE(importFile(s, QString()).outcome, WorkloadImport::Outcome::NoPath);
    }

    // New sections and teachers take codes from two counters made from the time; a new section
    // named in two years gets one row while its counter moves on twice.
    void codesFromTheTime()
    {
        TestStore s;
        QTemporaryDir dir;
        const QString path = writeFile(
            dir, {rowWith(QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 1),
                  rowWith(QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), OldYear, 2),
                  rowWith(QStringLiteral("李四"), QStringLiteral("物理教研室"), QStringLiteral("理学院"), Year, 3)});
        WorkloadImport importer(s.data());
        importer.setClock([] { return QDateTime(QDate(2009, 1, 2), QTime(3, 4, 5, 6)); });
        importer.makeCounters();
        QCOMPARE(importer.sectionCounter(), QStringLiteral("090102030405006"));
        QCOMPARE(importer.teacherCounter(), QStringLiteral("090102030405006"));
        QCOMPARE(importer.copyToWorkCopy(path), WorkloadImport::Outcome::Ready);
        QCOMPARE(importer.openWorkCopy(), WorkloadImport::Outcome::Ready);
        const WorkloadImport::Counts n = importer.run();
        QCOMPARE(n.sections, 2);
        QCOMPARE(n.teachers, 2);
        QCOMPARE(s.scalar(QStringLiteral("select group_concat(bmdm||'='||bmmc, ' ') from (select * from bmdm order "
                                         "by bmdm)")),
                 QStringLiteral("090102030405006=数学教研室 90102030405008=物理教研室"));
        QCOMPARE(s.scalar(QStringLiteral("select group_concat(rydm||'='||rymc||'@'||bmdm, ' ') from (select * from "
                                         "rydm order by rymc collate binary)")),
                 QStringLiteral("090102030405006=张三@090102030405006 90102030405007=李四@90102030405008"));
        QCOMPARE(importer.sectionCounter(), QStringLiteral("90102030405009"));
        QCOMPARE(s.count(QStringLiteral("yuanbu")), 1);
    }

    // The passes' statements, in order, for a new teacher named in two years: the faculty and the
    // section are created once, the teacher once, and the teacher's later row replaces the rows of
    // both years before the rows are copied.
    // Two imports whose codes come from the same moment of the clock (one right after the other,
    // or both at once waiting for the write lock) give their new sections and teachers codes of
    // their own instead of failing on the first one taken.
    void importsOfOneMomentGetCodesOfTheirOwn()
    {
        TestStore s;
        QTemporaryDir dir;
        const QDateTime now(QDate(2026, 12, 10), QTime(3, 4, 5, 6));
        for (const QString& faculty : {QStringLiteral("理学院"), QStringLiteral("文学院")}) {
            const QString path =
                writeFile(dir, {rowWith(QStringLiteral("张三"), faculty + QStringLiteral("一室"), faculty, Year, 1),
                                rowWith(QStringLiteral("李四"), faculty + QStringLiteral("二室"), faculty, Year, 2)});
            const Imported imported = importFile(s, path, now);
            QCOMPARE(imported.outcome, WorkloadImport::Outcome::Ready);
            QCOMPARE(imported.counts.teachers, 2);
            QCOMPARE(imported.counts.sections, 2);
        }
        QCOMPARE(s.scalar(QStringLiteral("select group_concat(bmdm, ' ') from (select bmdm from bmdm order by 1)")),
                 QStringLiteral("261210030405006 261210030405007 261210030405008 261210030405009"));
        QCOMPARE(s.scalar(QStringLiteral("select count(distinct rydm) from rydm")), QStringLiteral("4"));
        QCOMPARE(s.count(QStringLiteral("gzl")), 4);
    }

    void statementsOfThePasses()
    {
        TestStore s;
        QTemporaryDir dir;
        const QString path = writeFile(
            dir, {rowWith(QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 1),
                  rowWith(QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), OldYear, 2)});
        WorkloadImport importer(s.data());
        importer.setClock([] { return QDateTime(QDate(2026, 12, 10), QTime(3, 4, 5, 6)); });
        importer.makeCounters();
        QCOMPARE(importer.copyToWorkCopy(path), WorkloadImport::Outcome::Ready);
        QCOMPARE(importer.openWorkCopy(), WorkloadImport::Outcome::Ready);
        QCOMPARE(s.data().xssj1->text(), QStringLiteral("select * from dbtemp where jiaoshi<>'教师'"));
        QStringList traced;
        s.db().setTracer([&](const QString& statement) {
            if (statement != u"select count(*) from rydm") // the import's own bookkeeping
                traced << statement;
        });
        importer.run();
        s.db().setTracer({});
        QCOMPARE(traced.size(), 13);
        const QStringList expected{
            "select * from yuanbu\nwhere mc='理学院'",
            "insert into yuanbu(mc) values ('理学院')",
            "select * from bmdm\nwhere bmmc='数学教研室' and ybmc='理学院'",
            "insert into bmdm (bmdm,bmmc,ybmc) values ('261210030405006','数学教研室','理学院')",
            "select * from bmdm\nwhere bmmc='数学教研室' and ybmc='理学院'",
            "select * from rydm,bmdm\nwhere rydm.bmdm=bmdm.bmdm and rydm.rymc='张三' and bmmc='数学教研室'",
            "insert into rydm (rydm,rymc,ryzc,ryxz,rygw,bmdm) values "
            "('261210030405006','张三','副高级','专职','无重点岗位','261210030405006')",
            "select * from rydm,bmdm\nwhere rydm.bmdm=bmdm.bmdm and rydm.rymc='张三' and bmmc='数学教研室'",
            "delete from gzl\nwhere jiaoshi='张三' and jiaoyanshi='数学教研室' and nd='2026-2027学年'",
            "delete from gzl\nwhere jiaoshi='张三' and jiaoyanshi='数学教研室' and nd='2025-2026学年'",
        };
        QCOMPARE(traced.mid(0, 10), expected);
        QVERIFY(traced[10].startsWith(QStringLiteral("select min(rowid), max(rowid) from work.dbtemp")));
        QVERIFY(traced[11].startsWith(QStringLiteral("insert into gzl (\nxh,\ngm,\nr1,")));
        QVERIFY(traced[11].endsWith(QStringLiteral(" from dbtemp\nwhere jiaoshi<>'教师' and rowid between 1 and 1")));
        QVERIFY(traced[12].endsWith(QStringLiteral("rowid between 2 and 2")));
        QCOMPARE(s.count(QStringLiteral("bmdm")), 1);
        QCOMPARE(s.count(QStringLiteral("gzl")), 2);
    }

    // A new teacher takes title, nature and post from the first row that names them.
    void newTeacherTakesFirstRowsAttributes()
    {
        TestStore s;
        QVariantList a =
            rowWith(QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 1);
        QVariantList b =
            rowWith(QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 2);
        set(a, QStringLiteral("zhicheng"), QStringLiteral("正高级"));
        set(b, QStringLiteral("zhicheng"), QStringLiteral("初级"));
        set(b, QStringLiteral("gangwei"), QStringLiteral("重点 1 级"));
        QTemporaryDir dir;
        importFile(s, writeFile(dir, {a, b}));
        QCOMPARE(s.scalar(QStringLiteral("select ryzc||'/'||ryxz||'/'||rygw from rydm")),
                 QStringLiteral("正高级/专职/无重点岗位"));
        QCOMPARE(s.count(QStringLiteral("gzl")), 2);
    }

    // One section name under two faculties in one year: each faculty gets its own section, and
    // each teacher is filed under the section of their own faculty.
    void sectionNameUnderTwoFaculties()
    {
        TestStore s;
        QTemporaryDir dir;
        importFile(
            s,
            writeFile(
                dir, {rowWith(QStringLiteral("甲"), QStringLiteral("综合教研室"), QStringLiteral("理学院"), Year, 1),
                      rowWith(QStringLiteral("乙"), QStringLiteral("综合教研室"), QStringLiteral("工学院"), Year, 2)}));
        QCOMPARE(s.count(QStringLiteral("bmdm"), QStringLiteral("bmmc='综合教研室'")), 2);
        QCOMPARE(s.scalar(QStringLiteral("select group_concat(rymc||'@'||ybmc, ' ') from (select * from rydm,bmdm "
                                         "where rydm.bmdm=bmdm.bmdm order by rymc)")),
                 QStringLiteral("甲@理学院 乙@工学院"));
    }

    void storeErrorRollsBack_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("row insert refused") << QStringLiteral("authorizer");
        QTest::newRow("teacher name too long for the store") << QStringLiteral("wide name");
        QTest::newRow("teacher name longer than the column in characters") << QStringLiteral("long name");
    }

    // A store error in any pass undoes every statement of the import.
    void storeErrorRollsBack()
    {
        QFETCH(QString, fault);
        TestStore s;
        addTeacher(s, QStringLiteral("T1"), QStringLiteral("张三"), QStringLiteral("S1"), QStringLiteral("数学教研室"),
                   QStringLiteral("理学院"));
        addRow(s, 100, QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year);
        const std::vector<QVariantList> before = dump(s);

        QTemporaryDir dir;
        ExchangeTable t =
            table({rowWith(QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 1),
                   rowWith(QStringLiteral("新人"), QStringLiteral("新教研室"), QStringLiteral("新学院"), Year, 2)});
        if (fault == u"wide name") {
            // A foreign writer's wider column lets a 16-byte name through the file.
            t.columns[*t.indexOf(QStringLiteral("jiaoshi"))].width = 20;
            set(t.rows[1], QStringLiteral("jiaoshi"), QStringLiteral("欧阳诸葛司马懿德"));
        } else if (fault == u"long name") {
            t.columns[*t.indexOf(QStringLiteral("jiaoshi"))].width = 40;
            set(t.rows[1], QStringLiteral("jiaoshi"), QString(20, u'名'));
        } else if (s.location().isServer()) {
            // Rows already there stay; every new one is refused.
            s.db().execute(QStringLiteral("alter table gzl add constraint no_new_rows check (false) not valid"));
        } else {
            SqliteDatabase::of(s.db()).setAuthorizer([](int action, const char* table, const char*, const char*) {
                return action == SQLITE_INSERT && qstrcmp(table, "gzl") == 0 ? SQLITE_DENY : SQLITE_OK;
            });
        }
        const QString path = dir.filePath(QStringLiteral("bt.dbt"));
        ParadoxFile::write(path, t);

        WorkloadImport importer(s.data());
        importer.makeCounters();
        QCOMPARE(importer.copyToWorkCopy(path), WorkloadImport::Outcome::Ready);
        QCOMPARE(importer.openWorkCopy(), WorkloadImport::Outcome::Ready);
        QVERIFY_THROWS_EXCEPTION(StoreError, importer.run());
        if (!s.location().isServer())
            SqliteDatabase::of(s.db()).setAuthorizer({});
        QVERIFY(!s.db().inTransaction());
        QCOMPARE(dump(s), before);
    }

    void foreignFileChangesNothing_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("fault");
        QTest::newRow("empty") << "dbt"
                               << "empty";
        QTest::newRow("random bytes") << "dbt"
                                      << "random";
        QTest::newRow("forged record count") << "dbt"
                                             << "count";
        QTest::newRow("column missing") << "dbt"
                                        << "missing";
        QTest::newRow("number column holds text") << "dbt"
                                                  << "text number";
        QTest::newRow("block count above the file") << "dbt"
                                                    << "block count";
        QTest::newRow("dbf record the header does not count") << "dbf"
                                                              << "uncounted";
        for (const char* format : {"dbt", "dbf"}) {
            QTest::addRow("%s NaN", format) << QString::fromLatin1(format) << "NaN";
            QTest::addRow("%s infinity", format) << QString::fromLatin1(format) << "infinity";
        }
    }

    // A file that is not an exchange file gives the message and changes nothing.
    void foreignFileChangesNothing()
    {
        QFETCH(QString, format);
        QFETCH(QString, fault);
        TestStore s(true);
        const std::vector<QVariantList> before = dump(s);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bt.") + format);
        ExchangeTable t =
            table({rowWith(QStringLiteral("张三"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 1)});
        if (fault == u"missing") {
            t.columns.removeAt(*t.indexOf(QStringLiteral("k31")));
            t.rows[0].removeAt(27);
        } else if (fault == u"text number") {
            const int i = *t.indexOf(QStringLiteral("q11"));
            t.columns[i].kind = ExchangeColumn::Kind::Text;
            t.columns[i].width = 30;
            t.rows[0][i] = QStringLiteral("1);delete from gzl;--");
        } else if (fault == u"uncounted") {
            t.rows.push_back(
                rowWith(QStringLiteral("李四"), QStringLiteral("数学教研室"), QStringLiteral("理学院"), Year, 2));
        }
        if (format == u"dbf")
            DbaseFile::write(path, t);
        else
            ParadoxFile::write(path, t);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        const double number =
            fault == u"NaN" ? std::numeric_limits<double>::quiet_NaN() : std::numeric_limits<double>::infinity();
        if (fault == u"block count") {
            f.seek(0x0A);
            f.write(QByteArray("\x02\x00", 2));
        } else if ((fault == u"NaN" || fault == u"infinity") && format == u"dbt") {
            // r1 of the only record, after xh and gm: high byte first, sign bit inverted
            const quint64 bits = std::bit_cast<quint64>(number) | (quint64(1) << 63);
            QByteArray bytes;
            for (int i = 7; i >= 0; --i)
                bytes += char((bits >> (8 * i)) & 0xff);
            f.seek(0x800 + 6 + 4 + 2);
            f.write(bytes);
        } else if (fault == u"NaN" || fault == u"infinity") {
            const QByteArray head = f.read(10);
            f.seek((quint8(head[8]) | (quint8(head[9]) << 8)) + 1 + 11 + 6);
            f.write((fault == u"NaN" ? QByteArray("nan") : QByteArray("inf")).rightJustified(24, ' '));
        } else if (fault == u"empty") {
            f.resize(0);
        } else if (fault == u"random") {
            f.write(QByteArray(3000, '\x5a'));
        } else if (fault == u"count") {
            f.seek(6);
            f.write(QByteArray("\x00\x10\x00\x00", 4));
        } else if (fault == u"uncounted") {
            f.seek(4);
            f.write(QByteArray("\x01\x00\x00\x00", 4)); // of two
        }
        f.close();
        const Imported result = importFile(s, path);
        QCOMPARE(result.outcome, WorkloadImport::Outcome::NotOurFile);
        QCOMPARE(WorkloadImport::message(result.outcome),
                 QStringLiteral("你选择的文件不是本系统文件，请确认接收的文件是否正确!"));
        QCOMPARE(dump(s), before);
    }

    // workloadctl export and import: counts on success, the system's message and status 1 otherwise.
    void commandLine()
    {
        TestStore from(true);
        QTemporaryDir dir;
        const QString base = dir.filePath(QStringLiteral("bt"));
        const QString section = from.scalar(QStringLiteral("select jiaoyanshi from gzl where nd='%1' order by xh "
                                                           "limit 1")
                                                .arg(Year));
        const int rows = from.count(QStringLiteral("gzl"),
                                    QStringLiteral("nd like '%%1%' and jiaoyanshi=%2").arg(Year, Sql::quote(section)));
        CliRun r =
            runCli(from.ctlArguments() + QStringList{QStringLiteral("export"), QStringLiteral("--year"), Year,
                                                     QStringLiteral("--section"), section, QStringLiteral("--format"),
                                                     QStringLiteral("dbf"), QStringLiteral("--to"), base});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("%1 rows written to %2.dbf\n").arg(rows).arg(base));

        // A year of the store without rows.
        r = runCli(from.ctlArguments() + QStringList{QStringLiteral("export"), QStringLiteral("--year"),
                                                     QStringLiteral("2023-2024学年"), QStringLiteral("--format"),
                                                     QStringLiteral("dbt"), QStringLiteral("--to"), base});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QStringLiteral("没有满足条件的数据!\n"));
        QVERIFY(!QFile::exists(base + QStringLiteral(".dbt")));

        r = runCli(from.ctlArguments() + QStringList{QStringLiteral("export"), QStringLiteral("--year"), Year,
                                                     QStringLiteral("--teacher"), QStringLiteral("张三"),
                                                     QStringLiteral("--format"), QStringLiteral("dbt"),
                                                     QStringLiteral("--to"), base});
        QCOMPARE(r.status, 2);

        TestStore to;
        r = runCli(to.ctlArguments() + QStringList{QStringLiteral("import"), base + QStringLiteral(".dbf")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("%1 rows imported; created 1 faculties, 1 sections, %2 teachers\n")
                            .arg(rows)
                            .arg(to.count(QStringLiteral("rydm"))));
        QVERIFY(to.count(QStringLiteral("rydm")) > 0);

        r = runCli(to.ctlArguments() + QStringList{QStringLiteral("import"), dir.filePath(QStringLiteral("x.db"))});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, WorkloadImport::CopyFailed + u'\n');

        const std::unique_ptr<Database> other = Database::open(to.location());
        other->begin();
        r = runCli(to.ctlArguments() + QStringList{QStringLiteral("import"), base + QStringLiteral(".dbf")});
        other->rollback();
        QCOMPARE(r.status, 1);
        QCOMPARE(r.err, QStringLiteral("数据库正被其他程序使用，请稍后再试!\n"));
    }
};

QTEST_GUILESS_MAIN(TestExchangeImport)
#include "tst_exchange_import.moc"
