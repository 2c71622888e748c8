#pragma once

#include "calc/CalculationRecords.h"
#include "session/Selection.h"
#include "store/Database.h"
#include "support/TestStore.h"

#include <QDateTime>

// A small university with computed figures written straight into the workload rows:
//   理学院  数学教研室 S01  T01 张三 正高级 专职 无重点岗位   147.58 (100.5 + 15.08 + 20, and 12 of 毕业设计)
//                          T02 李四 副高级 专职 无重点岗位   290    (300.004 of which 300 count, and a -10)
//                          T05 周七 副高级 专职 无重点岗位   no rows
//          物理教研室 S02  T03 王五 中级   兼职 无重点岗位   112
//   文学院  中文教研室 S03  T04 赵六 副高级 专职 重点 6 级    450    (nulls besides 450 of 指导硕士)
//          空教研室   S04  no teachers
// 2026-2027学年 is calculated (a record of the whole year); 2025-2026学年 has an entered 50 for
// 张三 and 30 for 王五 but no calculation; 2023-2024学年 and 2024-2025学年 have no rows.
namespace StatsFixture {

inline const QString Year = QStringLiteral("2026-2027学年");
inline const QString Earlier = QStringLiteral("2025-2026学年");

inline void addRow(Database& db, const QString& teacher, const QString& section, const QString& faculty,
                   const QString& year, const QString& fl, const QString& columns, const QString& values)
{
    db.executeBound(QStringLiteral("insert into gzl (xh,jiaoshi,jiaoyanshi,yuanbu,nd,fl,%1) values (1,?,?,?,?,?,%2)")
                        .arg(columns, values),
                    {teacher, section, faculty, year, fl});
}

inline void fill(Database& db)
{
    db.execute(QStringLiteral("insert into yuanbu (mc) values ('理学院'), ('文学院')"));
    db.execute(
        QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('S01','数学教研室','理学院'),"
                       "('S02','物理教研室','理学院'), ('S03','中文教研室','文学院'), ('S04','空教研室','文学院')"));
    db.execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm,ryzc,ryxz,rygw) values "
                              "('T01','张三','S01','正高级','专职','无重点岗位'),"
                              "('T02','李四','S01','副高级','专职','无重点岗位'),"
                              "('T05','周七','S01','副高级','专职','无重点岗位'),"
                              "('T03','王五','S02','中级','兼职','无重点岗位'),"
                              "('T04','赵六','S03','副高级','专职','重点 6 级')"));
    const QString math = QStringLiteral("数学教研室"), physics = QStringLiteral("物理教研室");
    const QString chinese = QStringLiteral("中文教研室");
    const QString science = QStringLiteral("理学院"), arts = QStringLiteral("文学院");
    const QString theory = QStringLiteral("理论实验");
    addRow(db, QStringLiteral("张三"), math, science, Year, theory, QStringLiteral("q11,q12,q2"),
           QStringLiteral("100.5,15.08,20"));
    addRow(db, QStringLiteral("张三"), math, science, Year, QStringLiteral("毕业设计"), QStringLiteral("q32"),
           QStringLiteral("12"));
    addRow(db, QStringLiteral("李四"), math, science, Year, theory, QStringLiteral("q11,q12"),
           QStringLiteral("300.004,null"));
    addRow(db, QStringLiteral("李四"), math, science, Year, QStringLiteral("实习设计"), QStringLiteral("q31"),
           QStringLiteral("-10"));
    addRow(db, QStringLiteral("王五"), physics, science, Year, theory, QStringLiteral("q11,q12,q33"),
           QStringLiteral("80,12,20"));
    addRow(db, QStringLiteral("赵六"), chinese, arts, Year, QStringLiteral("指导硕士"), QStringLiteral("q11,q2,q33"),
           QStringLiteral("null,null,450"));
    addRow(db, QStringLiteral("张三"), math, science, Earlier, QStringLiteral("毕业设计"), QStringLiteral("q32"),
           QStringLiteral("50"));
    addRow(db, QStringLiteral("王五"), physics, science, Earlier, QStringLiteral("毕业设计"), QStringLiteral("q32"),
           QStringLiteral("30"));
    CalculationRecords::write(db, Year, Selection::year(Year).node, QDateTime(QDate(2026, 12, 1), QTime(9, 30)));
}

} // namespace StatsFixture
