#pragma once

#include "store/Database.h"
#include "store/Sql.h"

#include <QString>

// A small organisation for the main window's tests:
//   理学院: 数学教研室 (S01: 张三 T01, 李四 T02), 物理教研室 (S02: 王五 T03)
//   文学院: 中文教研室 (S03, no teachers)
// 张三 has three theory/lab rows (xh 1 to 3) and two internship rows (xh 4, 5) in the year
// 2026-2027学年, which is the settings record's year.
namespace TestOrganisation {

inline const QString Year = QStringLiteral("2026-2027学年");

inline void addWorkload(Database& db, int xh, const QString& fl, const QString& kname)
{
    db.execute(
        QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,gm,bg,fl,nd,kname,banji,t1,r1,shuoming,"
                       "yan,w,r3,t2,r2,fzs) values (%1,'张三','理学院','数学教研室',0,0,%2,%3,%4,'数学1班',32,40,"
                       "'专业基础课','本科生',2,40,0,0,0)")
            .arg(xh)
            .arg(Sql::quote(fl), Sql::quote(Year), Sql::quote(kname)));
}

inline void fill(Database& db)
{
    db.execute(QStringLiteral("insert into yuanbu (mc) values ('理学院'), ('文学院')"));
    db.execute(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('S01','数学教研室','理学院'),"
                              "('S02','物理教研室','理学院'), ('S03','中文教研室','文学院')"));
    db.execute(
        QStringLiteral("insert into rydm (rydm,rymc,bmdm,ryzc,ryxz,rygw,q) values "
                       "('T01','张三','S01','教授','专任','教学',123.456), ('T02','李四','S01','讲师','专任','教学',0),"
                       "('T03','王五','S02','副教授','专任','教学',0)"));
    addWorkload(db, 1, QStringLiteral("理论实验"), QStringLiteral("高等数学"));
    addWorkload(db, 2, QStringLiteral("理论实验"), QStringLiteral("线性代数"));
    addWorkload(db, 3, QStringLiteral("理论实验"), QStringLiteral("概率论"));
    addWorkload(db, 4, QStringLiteral("实习设计"), QStringLiteral("认识实习"));
    addWorkload(db, 5, QStringLiteral("实习设计"), QStringLiteral("课程设计"));
    db.execute(QStringLiteral("update system set Nd=") + Sql::quote(Year));
}

} // namespace TestOrganisation
