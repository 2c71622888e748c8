#pragma once

#include "store/Sql.h"
#include "support/TestStore.h"

#include <QStringList>

// An organisation in which names repeat across faculties:
//   理学院: S01 数学教研室 (T01 张三, T02 李四), S02 物理教研室 (T03 王五)
//   文学院: S03 数学教研室 (T04 张三), S04 中文教研室 (T05 赵六)
//   农学院: S05 园艺教研室 (no teachers)
//   工学院: no sections
// Workload rows: 1 张三 理学院 数学教研室 2025-2026学年; 2 the same in 2026-2027学年;
// 3 张三 文学院 数学教研室 2026-2027学年; 4 王五 理学院 物理教研室 2026-2027学年.
// The settings record names 理学院 and S01 数学教研室.
struct MasterDataFixture
{
    TestStore store;

    MasterDataFixture()
    {
        Database& db = store.db();
        db.execute(QStringLiteral("insert into yuanbu (mc) values ('理学院'),('文学院'),('农学院'),('工学院')"));
        db.execute(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('S01','数学教研室','理学院'),"
                                  "('S02','物理教研室','理学院'),('S03','数学教研室','文学院'),"
                                  "('S04','中文教研室','文学院'),('S05','园艺教研室','农学院')"));
        db.execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm,ryzc,ryxz,rygw) values "
                                  "('T01','张三','S01','中级','专职','无重点岗位'),"
                                  "('T02','李四','S01','初级','专职','无重点岗位'),"
                                  "('T03','王五','S02','正高级','兼职','重点 1 级'),"
                                  "('T04','张三','S03','副高级','专职','无重点岗位'),"
                                  "('T05','赵六','S04','中级','专职','无重点岗位')"));
        row(1, "张三", "理学院", "数学教研室", "2025-2026学年");
        row(2, "张三", "理学院", "数学教研室", "2026-2027学年");
        row(3, "张三", "文学院", "数学教研室", "2026-2027学年");
        row(4, "王五", "理学院", "物理教研室", "2026-2027学年");
        db.execute(QStringLiteral("update system set Nd='2026-2027学年',yx='理学院',jys='S01',jysmc='数学教研室'"));
        store.data().Tbsystem->activate();
        store.data().Tbsystem->edit();
    }

    void row(int xh, const char* teacher, const char* faculty, const char* section, const char* year)
    {
        store.db().execute(
            QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,fl,nd,zhicheng,xingzhi,gangwei) values "
                           "(%1,'%2','%3','%4','理论实验','%5','中级','专职','无重点岗位')")
                .arg(xh)
                .arg(QString::fromUtf8(teacher), QString::fromUtf8(faculty), QString::fromUtf8(section),
                     QString::fromUtf8(year)));
    }

    // One column of every row of a select, in order, as text.
    QStringList column(const QString& statement)
    {
        QStringList values;
        const Database::Result r = store.db().select(statement);
        for (std::size_t i = 0; i < r.rows.size(); ++i)
            values << r.rows.value(i, 0).toString();
        return values;
    }

    // Workload rows as "xh:teacher/faculty/section", by serial.
    QStringList workload()
    {
        return column(QStringLiteral("select xh||':'||jiaoshi||'/'||yuanbu||'/'||jiaoyanshi from gzl order by xh"));
    }

    // The settings record as stored: "yx/jys/jysmc".
    QString settings() { return store.scalar(QStringLiteral("select yx||'/'||jys||'/'||jysmc from system")); }
    // ... and as the program holds it in memory.
    QString settingsInMemory()
    {
        TableObject* s = store.data().Tbsystem;
        return QStringList{s->fieldByName(QStringLiteral("yx")).asString(),
                           s->fieldByName(QStringLiteral("jys")).asString(),
                           s->fieldByName(QStringLiteral("jysmc")).asString()}
            .join(u'/');
    }

    // Every statement that changes gzl rows is refused from now on.
    void refuseWorkloadUpdates()
    {
        store.db().execute(QStringLiteral("CREATE TRIGGER refuse_gzl BEFORE UPDATE ON gzl "
                                          "BEGIN SELECT RAISE(ABORT, 'gzl is read-only here'); END"));
    }
    void refuseSettingsUpdates()
    {
        store.db().execute(QStringLiteral("CREATE TRIGGER refuse_system BEFORE UPDATE ON system "
                                          "BEGIN SELECT RAISE(ABORT, 'system is read-only here'); END"));
    }
};
