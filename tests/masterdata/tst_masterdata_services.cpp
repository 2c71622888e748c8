#include "MasterDataFixture.h"
#include "masterdata/Faculties.h"
#include "masterdata/MasterDataText.h"
#include "masterdata/Sections.h"
#include "masterdata/Teachers.h"

#include <QTest>

using Status = Outcome::Status;
Q_DECLARE_METATYPE(Outcome::Status)

namespace {

const QStringList Untouched{"1:张三/理学院/数学教研室", "2:张三/理学院/数学教研室", "3:张三/文学院/数学教研室",
                            "4:王五/理学院/物理教研室"};
const QString SettingsBefore = QStringLiteral("理学院/S01/数学教研室");

} // namespace

class TestMasterDataServices : public QObject
{
    Q_OBJECT
private slots:
    void facultyRename_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<Status>("status");
        QTest::addColumn<QStringList>("sectionsOfNewName");
        QTest::addColumn<QStringList>("workload");
        QTest::addColumn<QString>("settings");

        // Sections and every year's rows follow; the same-named section of 文学院 keeps its rows.
        QTest::newRow("selected faculty") << "理学院"
                                          << "理科学院" << Status::Saved << QStringList{"S01", "S02"}
                                          << QStringList{"1:张三/理科学院/数学教研室", "2:张三/理科学院/数学教研室",
                                                         "3:张三/文学院/数学教研室", "4:王五/理科学院/物理教研室"}
                                          << "理科学院/S01/数学教研室";
        QTest::newRow("another faculty, settings stay")
            << "文学院"
            << "人文学院" << Status::Saved << QStringList{"S03", "S04"}
            << QStringList{"1:张三/理学院/数学教研室", "2:张三/理学院/数学教研室", "3:张三/人文学院/数学教研室",
                           "4:王五/理学院/物理教研室"}
            << SettingsBefore;
        QTest::newRow("a quote is stored as typed")
            << "理学院"
            << "O'Neil's 学院" << Status::Saved << QStringList{"S01", "S02"}
            << QStringList{"1:张三/O'Neil's 学院/数学教研室", "2:张三/O'Neil's 学院/数学教研室",
                           "3:张三/文学院/数学教研室", "4:王五/O'Neil's 学院/物理教研室"}
            << "O'Neil's 学院/S01/数学教研室";
        QTest::newRow("its own name") << "理学院"
                                      << "理学院" << Status::Saved << QStringList{"S01", "S02"} << Untouched
                                      << SettingsBefore;
        QTest::newRow("a name that exists")
            << "理学院"
            << "文学院" << Status::Failed << QStringList{"S03", "S04"} << Untouched << SettingsBefore;
        QTest::newRow("longer than the column")
            << "理学院"
            << "一二三四五六七八九十一二三" << Status::Failed << QStringList{} << Untouched << SettingsBefore;
        QTest::newRow("unknown faculty") << "医学院"
                                         << "药学院" << Status::NotFound << QStringList{} << Untouched
                                         << SettingsBefore;
    }
    void facultyRename()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(Status, status);
        QFETCH(QStringList, sectionsOfNewName);
        QFETCH(QStringList, workload);
        QFETCH(QString, settings);
        MasterDataFixture f;
        const Outcome o = Faculties(f.store.data()).rename(from, to);
        QCOMPARE(o.status, status);
        QCOMPARE(o.message, status == Status::Saved      ? QString()
                            : status == Status::NotFound ? MasterDataText::FacultyMissing.arg(from)
                                                         : MasterDataText::FacultyFailed);
        QCOMPARE(f.column(QStringLiteral("select bmdm from bmdm where ybmc=%1 order by bmdm").arg(Sql::quote(to))),
                 sectionsOfNewName);
        QCOMPARE(f.workload(), workload);
        QCOMPARE(f.settings(), settings);
        QCOMPARE(f.settingsInMemory(), settings);
        QCOMPARE(f.store.count(QStringLiteral("yuanbu")), 4);
    }

    void sectionEdit_data()
    {
        QTest::addColumn<QString>("oldCode");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<Status>("status");
        QTest::addColumn<QStringList>("teachersOfCode"); // teachers under `code` afterwards
        QTest::addColumn<QStringList>("workload");
        QTest::addColumn<QString>("settings");

        // Rows of every year in the section's faculty follow the name; 文学院's 数学教研室 keeps it.
        QTest::newRow("rename") << "S01"
                                << "S01"
                                << "数理教研室" << Status::Saved << QStringList{"T01", "T02"}
                                << QStringList{"1:张三/理学院/数理教研室", "2:张三/理学院/数理教研室",
                                               "3:张三/文学院/数学教研室", "4:王五/理学院/物理教研室"}
                                << "理学院/S01/数理教研室";
        // The teachers go with the code, and so does the remembered section.
        QTest::newRow("new code") << "S01"
                                  << "S11"
                                  << "数学教研室" << Status::Saved << QStringList{"T01", "T02"} << Untouched
                                  << "理学院/S11/数学教研室";
        QTest::newRow("another section, settings stay")
            << "S03"
            << "S33"
            << "数学系" << Status::Saved << QStringList{"T04"}
            << QStringList{"1:张三/理学院/数学教研室", "2:张三/理学院/数学教研室", "3:张三/文学院/数学系",
                           "4:王五/理学院/物理教研室"}
            << SettingsBefore;
        QTest::newRow("a quote is stored as typed")
            << "S02"
            << "S02"
            << "物'理" << Status::Saved << QStringList{"T03"}
            << QStringList{"1:张三/理学院/数学教研室", "2:张三/理学院/数学教研室", "3:张三/文学院/数学教研室",
                           "4:王五/理学院/物'理"}
            << SettingsBefore;
        QTest::newRow("code of another section")
            << "S01"
            << "S02"
            << "数学教研室" << Status::Duplicate << QStringList{"T03"} << Untouched << SettingsBefore;
        QTest::newRow("name too long") << "S01"
                                       << "S11"
                                       << "一二三四五六七八九十一二三" << Status::Failed << QStringList{} << Untouched
                                       << SettingsBefore;
        QTest::newRow("unknown code") << "S99"
                                      << "S98"
                                      << "x" << Status::NotFound << QStringList{} << Untouched << SettingsBefore;
    }
    void sectionEdit()
    {
        QFETCH(QString, oldCode);
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(Status, status);
        QFETCH(QStringList, teachersOfCode);
        QFETCH(QStringList, workload);
        QFETCH(QString, settings);
        MasterDataFixture f;
        const Outcome o = Sections(f.store.data()).edit(oldCode, code, name);
        QCOMPARE(o.status, status);
        const QString expectedMessage = status == Status::Saved       ? QString()
                                        : status == Status::Duplicate ? MasterDataText::SectionDuplicate
                                        : status == Status::NotFound  ? MasterDataText::SectionMissing.arg(oldCode)
                                                                      : MasterDataText::SectionFailed;
        QCOMPARE(o.message, expectedMessage);
        QCOMPARE(f.column(QStringLiteral("select rydm from rydm where bmdm=%1 order by rydm").arg(Sql::quote(code))),
                 teachersOfCode);
        QCOMPARE(f.workload(), workload);
        QCOMPARE(f.settings(), settings);
        QCOMPARE(f.settingsInMemory(), settings);
        if (status == Status::Saved)
            QCOMPARE(f.store.scalar(QStringLiteral("select bmmc||'/'||ybmc from bmdm where bmdm=") + Sql::quote(code)),
                     name + u'/' + (oldCode == u"S03" ? QStringLiteral("文学院") : QStringLiteral("理学院")));
    }

    void teacherEdit_data()
    {
        QTest::addColumn<QString>("oldCode");
        QTest::addColumn<QStringList>("values"); // code, name, title, nature, post
        QTest::addColumn<Status>("status");
        QTest::addColumn<QStringList>("rows"); // workload "xh:jiaoshi/zhicheng/xingzhi/gangwei"

        const QStringList before{"1:张三/中级/专职/无重点岗位", "2:张三/中级/专职/无重点岗位",
                                 "3:张三/中级/专职/无重点岗位", "4:王五/中级/专职/无重点岗位"};
        // Both years of 理学院's 张三 follow; 文学院's 张三 (same name, same section name) does not.
        QTest::newRow("rename with new title")
            << "T01" << QStringList{"T01", "张叁", "正高级", "兼职", "重点 2 级"} << Status::Saved
            << QStringList{"1:张叁/正高级/兼职/重点 2 级", "2:张叁/正高级/兼职/重点 2 级",
                           "3:张三/中级/专职/无重点岗位", "4:王五/中级/专职/无重点岗位"};
        QTest::newRow("new code, typed title")
            << "T03" << QStringList{"T33", "王五", "研究员", "专职", "无"} << Status::Saved
            << QStringList{"1:张三/中级/专职/无重点岗位", "2:张三/中级/专职/无重点岗位", "3:张三/中级/专职/无重点岗位",
                           "4:王五/研究员/专职/无"};
        QTest::newRow("a quote is stored as typed")
            << "T04" << QStringList{"T04", "O'张", "中级", "专职", "无重点岗位"} << Status::Saved
            << QStringList{"1:张三/中级/专职/无重点岗位", "2:张三/中级/专职/无重点岗位", "3:O'张/中级/专职/无重点岗位",
                           "4:王五/中级/专职/无重点岗位"};
        QTest::newRow("code of another teacher")
            << "T01" << QStringList{"T02", "张三", "中级", "专职", "无重点岗位"} << Status::Duplicate << before;
        QTest::newRow("name too long for the workload rows")
            << "T01" << QStringList{"T01", "欧阳建国和平人民", "中级", "专职", "无重点岗位"} << Status::Failed
            << before;
        QTest::newRow("unknown code") << "T99" << QStringList{"T98", "x", "", "", ""} << Status::NotFound << before;
    }
    void teacherEdit()
    {
        QFETCH(QString, oldCode);
        QFETCH(QStringList, values);
        QFETCH(Status, status);
        QFETCH(QStringList, rows);
        MasterDataFixture f;
        const Teachers::Teacher t{values[0], values[1], values[2], values[3], values[4]};
        const Outcome o = Teachers(f.store.data()).edit(oldCode, t);
        QCOMPARE(o.status, status);
        QCOMPARE(f.column(QStringLiteral("select xh||':'||jiaoshi||'/'||zhicheng||'/'||xingzhi||'/'||gangwei from gzl "
                                         "order by xh")),
                 rows);
        const QString stored = f.store.scalar(
            QStringLiteral("select rymc||'/'||ryzc||'/'||bmdm from rydm where rydm=") + Sql::quote(t.code));
        if (status == Status::Saved)
            QCOMPARE(stored, values[1] + u'/' + values[2] + u'/' +
                                 (oldCode == u"T01"   ? QStringLiteral("S01")
                                  : oldCode == u"T03" ? QStringLiteral("S02")
                                                      : QStringLiteral("S03")));
        else if (status != Status::NotFound)
            QVERIFY(!o.message.isEmpty() && f.store.count(QStringLiteral("rydm"), QStringLiteral("rymc='张三'")) == 2);
    }

    void adds_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<Status>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("faculty") << "faculty" << QStringList{"医学院"} << Status::Saved << QString();
        QTest::newRow("faculty of an existing name")
            << "faculty" << QStringList{"文学院"} << Status::Failed << MasterDataText::FacultyFailed;
        QTest::newRow("section") << "section" << QStringList{"工学院", "S06", "机械教研室"} << Status::Saved
                                 << QString();
        // Codes are unique across faculties.
        QTest::newRow("section code of another faculty") << "section" << QStringList{"工学院", "S03", "机械教研室"}
                                                         << Status::Duplicate << MasterDataText::SectionDuplicate;
        QTest::newRow("section name too long")
            << "section" << QStringList{"工学院", "S06", "一二三四五六七八九十一二三"} << Status::Failed
            << MasterDataText::SectionFailed;
        QTest::newRow("teacher") << "teacher" << QStringList{"S05", "T06", "钱七"} << Status::Saved << QString();
        QTest::newRow("teacher code that exists")
            << "teacher" << QStringList{"S05", "T01", "钱七"} << Status::Duplicate << MasterDataText::TeacherDuplicate;
        QTest::newRow("teacher name too long") << "teacher" << QStringList{"S05", "T06", "欧阳建国和平人民"}
                                               << Status::Failed << MasterDataText::TeacherFailed;
        // Nothing is filed under a faculty or section that is not there.
        QTest::newRow("section of no faculty") << "section" << QStringList{"医学院", "S06", "内科教研室"}
                                               << Status::NotFound << MasterDataText::FacultyMissing.arg("医学院");
        QTest::newRow("teacher of no section") << "teacher" << QStringList{"S99", "T06", "钱七"} << Status::NotFound
                                               << MasterDataText::SectionMissing.arg("S99");
        // A character without a GBK form is the reason given, alone.
        const QString noGbk = QStringLiteral("钱\U0001F600");
        for (const char* what : {"faculty", "section", "teacher"})
            QTest::addRow("%s name without a GBK form", what)
                << what
                << (QString::fromLatin1(what) == u"faculty"   ? QStringList{noGbk}
                    : QString::fromLatin1(what) == u"section" ? QStringList{"工学院", "S06", noGbk}
                                                              : QStringList{"S05", "T06", noGbk})
                << Status::Failed << QStringLiteral("文字含有GBK不能表示的字符: ") + noGbk;
    }
    void adds()
    {
        QFETCH(QString, what);
        QFETCH(QStringList, values);
        QFETCH(Status, status);
        QFETCH(QString, message);
        MasterDataFixture f;
        const QString table = what == u"faculty"   ? QStringLiteral("yuanbu")
                              : what == u"section" ? QStringLiteral("bmdm")
                                                   : QStringLiteral("rydm");
        const int before = f.store.count(table);
        Outcome o;
        if (what == u"faculty") {
            o = Faculties(f.store.data()).add(values[0]);
        } else if (what == u"section") {
            o = Sections(f.store.data()).add(values[0], values[1], values[2]);
        } else {
            Teachers::Teacher t = Teachers::defaults();
            t.code = values[1];
            t.name = values[2];
            o = Teachers(f.store.data()).add(values[0], t);
        }
        QCOMPARE(o.status, status);
        if (message.startsWith(u"文字含有") && !TestStore::server().isEmpty()) {
            // The server names the character it cannot convert, not the whole text.
            QVERIFY2(o.message.startsWith(u"文字含有GBK不能表示的字符: ") &&
                         o.message.contains(QStringLiteral("\U0001F600")),
                     qPrintable(o.message));
        } else {
            QCOMPARE(o.message, message);
        }
        if (message.startsWith(u"文字含有"))
            QCOMPARE(o.storeText, QString());
        QCOMPARE(f.store.count(table), before + (o.ok() ? 1 : 0));
        QCOMPARE(o.rows(table), o.ok() ? 1 : 0);
        if (what == u"teacher" && o.ok())
            QCOMPARE(f.store.scalar(QStringLiteral("select bmdm||ryzc||ryxz||rygw from rydm where rydm='T06'")),
                     QStringLiteral("S05中级专职无重点岗位"));
    }

    void deletes_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("key");
        QTest::addColumn<Status>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("faculty with workload") << "faculty"
                                               << "理学院" << Status::HasWorkload << MasterDataText::FacultyHasWorkload;
        QTest::newRow("faculty with sections only")
            << "faculty"
            << "农学院" << Status::HasSections << MasterDataText::FacultyHasSections;
        QTest::newRow("empty faculty") << "faculty"
                                       << "工学院" << Status::Deleted << QString();
        QTest::newRow("unknown faculty") << "faculty"
                                         << "医学院" << Status::NotFound
                                         << MasterDataText::FacultyMissing.arg("医学院");
        // By name alone: 文学院's 数学教研室 has rows, so 理学院's is refused as well.
        QTest::newRow("section with workload") << "section"
                                               << "S03" << Status::HasWorkload << MasterDataText::SectionHasWorkload;
        QTest::newRow("section with teachers only")
            << "section"
            << "S04" << Status::HasTeachers << MasterDataText::SectionHasTeachers;
        QTest::newRow("empty section") << "section"
                                       << "S05" << Status::Deleted << QString();
        QTest::newRow("unknown section") << "section"
                                         << "S99" << Status::NotFound << MasterDataText::SectionMissing.arg("S99");
        QTest::newRow("teacher with workload") << "teacher"
                                               << "T04" << Status::HasWorkload << MasterDataText::TeacherHasWorkload;
        QTest::newRow("teacher without") << "teacher"
                                         << "T02" << Status::Deleted << QString();
        QTest::newRow("unknown teacher") << "teacher"
                                         << "T99" << Status::NotFound << MasterDataText::TeacherMissing.arg("T99");
    }
    void deletes()
    {
        QFETCH(QString, what);
        QFETCH(QString, key);
        QFETCH(Status, status);
        QFETCH(QString, message);
        MasterDataFixture f;
        const int before = f.store.count(QStringLiteral("yuanbu")) + f.store.count(QStringLiteral("bmdm")) +
                           f.store.count(QStringLiteral("rydm"));
        const Outcome o = what == u"faculty"   ? Faculties(f.store.data()).remove(key)
                          : what == u"section" ? Sections(f.store.data()).remove(key)
                                               : Teachers(f.store.data()).remove(key);
        QCOMPARE(o.status, status);
        QCOMPARE(o.message, message);
        const int after = f.store.count(QStringLiteral("yuanbu")) + f.store.count(QStringLiteral("bmdm")) +
                          f.store.count(QStringLiteral("rydm"));
        QCOMPARE(after, before - (o.ok() ? 1 : 0));
        QCOMPARE(f.workload(), Untouched);
    }

    void aFailingCascadeUndoesTheChange_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("settingsRefused"); // else the workload rows refuse
        QTest::newRow("faculty rename, rows refuse") << "faculty" << false;
        QTest::newRow("faculty rename, settings refuse") << "faculty" << true;
        QTest::newRow("section edit, rows refuse") << "section" << false;
        QTest::newRow("section edit, settings refuse") << "section" << true;
        QTest::newRow("teacher edit, rows refuse") << "teacher" << false;
    }
    void aFailingCascadeUndoesTheChange()
    {
        if (!TestStore::server().isEmpty())
            QSKIP("the refusal is made with a trigger of the desktop store's own language");
        QFETCH(QString, what);
        QFETCH(bool, settingsRefused);
        MasterDataFixture f;
        if (settingsRefused)
            f.refuseSettingsUpdates();
        else
            f.refuseWorkloadUpdates();
        const QString organisation = QStringLiteral("select group_concat(x, ';') from (select mc as x from yuanbu "
                                                    "union all select bmdm||bmmc||ybmc from bmdm "
                                                    "union all select rydm||rymc||bmdm||ryzc from rydm)");
        const QString before = f.store.scalar(organisation);
        Outcome o;
        if (what == u"faculty")
            o = Faculties(f.store.data()).rename(QStringLiteral("理学院"), QStringLiteral("理科学院"));
        else if (what == u"section")
            o = Sections(f.store.data()).edit(QStringLiteral("S01"), QStringLiteral("S11"), QStringLiteral("数理"));
        else
            o = Teachers(f.store.data()).edit(QStringLiteral("T01"), {"T11", "张叁", "中级", "专职", "无重点岗位"});
        QCOMPARE(o.status, Status::Failed);
        QVERIFY(o.storeText.contains(u"read-only here"));
        QCOMPARE(f.store.scalar(organisation), before);
        QCOMPARE(f.workload(), Untouched);
        QCOMPARE(f.settingsInMemory(), SettingsBefore);
        f.store.db().execute(QStringLiteral("DROP TRIGGER IF EXISTS refuse_system"));
        f.store.data().Tbsystem->post();
        QCOMPARE(f.settings(), SettingsBefore);
    }

    // Another program holding the store's lock is not a refused input: the change ends with the
    // store's own error (the screens and the command line show it), and nothing is written.
    void aBusyStoreIsNotARefusal()
    {
        MasterDataFixture f;
        auto other = Database::open(f.store.location());
        other->begin();
        try {
            Faculties(f.store.data()).add(QStringLiteral("新学院"));
            QFAIL("the busy store was taken as a refused name");
        } catch (const StoreError& e) {
            QCOMPARE(e.kind(), StoreError::Kind::Busy);
        }
        other->rollback();
        QCOMPARE(f.store.count(QStringLiteral("yuanbu"), QStringLiteral("mc='新学院'")), 0);
    }

    void listsOpenTheSharedHolders()
    {
        MasterDataFixture f;
        DataModule& d = f.store.data();
        QCOMPARE(Faculties(d).openList(), 4);
        QCOMPARE(d.dtbmdm->text(), QStringLiteral("select * from yuanbu "));
        QCOMPARE(Sections(d).openList(QStringLiteral("文学院")), 2);
        QCOMPARE(d.dtbmdm->text(), QStringLiteral("select * from bmdm where ybmc='文学院' order by bmdm"));
        QCOMPARE(Teachers(d).openList(QStringLiteral("S01")), 2);
        QCOMPARE(d.dtrydm->text(),
                 QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and bmdm='S01' order by rydm"));
        QCOMPARE(d.dtrydm->fieldByName(QStringLiteral("bmmc")).asString(), QStringLiteral("数学教研室"));
    }
};

QTEST_GUILESS_MAIN(TestMasterDataServices)
#include "tst_masterdata_services.moc"
