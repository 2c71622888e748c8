#pragma once

#include "calc/WorkloadCalculator.h"
#include "session/Selection.h"
#include "store/Database.h"
#include "store/NumberFormat.h"
#include "store/Sql.h"
#include "support/TestStore.h"

#include <QStringList>

// A tiny university for the engine: faculty 信息学院 with section 软件教研室 and teachers
// 001 张三 and 002 李四 (李四 has no rows unless a test gives him some).
namespace CalcFixture {

inline const QString Year = QStringLiteral("2026-2027学年");
inline const QString Faculty = QStringLiteral("信息学院");
inline const QString Section = QStringLiteral("软件教研室");

inline void addPeople(Database& db)
{
    db.execute(QStringLiteral("insert into yuanbu (mc) values ('信息学院')"));
    db.execute(QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values ('01','软件教研室','信息学院')"));
    db.execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm,q,q11,q12,q2,q31,q32,q33) values "
                              "('001','张三','01',0,0,0,0,0,0,0)"));
    db.execute(QStringLiteral("insert into rydm (rydm,rymc,bmdm,q,q11,q12,q2,q31,q32,q33) values "
                              "('002','李四','01',9,1,2,3,1,1,1)"));
}

// One workload row of 张三 (or another teacher) in the fixture's year; `columns` and `values`
// are spliced into the insert as written ("fl,shuoming", "'理论实验','专业课'").
inline void addRow(Database& db, int xh, const QString& columns, const QString& values,
                   const QString& teacher = QStringLiteral("张三"), const QString& year = Year)
{
    db.execute(QStringLiteral("insert into gzl (xh,jiaoshi,yuanbu,jiaoyanshi,nd,gm,%1) values (%2,%3,'信息学院',"
                              "'软件教研室',%4,0,%5)")
                   .arg(columns)
                   .arg(xh)
                   .arg(Sql::quote(teacher), Sql::quote(year), values));
}

// fenlie, sunxu, gs, k11, tiaojian; course-type rows also shuoming, yan, s1, k12, s2.
inline void addParameter(Database& db, int fenlie, double sunxu, const QString& gs, const QString& k11,
                         const QString& tiaojian, const QString& shuoming = QString(), const QString& yan = QString(),
                         const QString& s1 = QString(), double k12 = 0, const QString& s2 = QString())
{
    db.executeBound(QStringLiteral("insert into sysparameter (fenlie,sunxu,shuoming,yan,s1,k12,s2,gs,k11,tiaojian) "
                                   "values (?,?,?,?,?,?,?,?,?,?)"),
                    {double(fenlie), sunxu, shuoming, yan, s1, k12, s2, gs, k11, tiaojian});
}

// The faculty node's selection, as the tree gives it.
inline Selection faculty()
{
    return Selection::faculty(Year, Faculty);
}

// Calculates a node (the faculty unless told otherwise) of the store, as its "计算" would.
inline CalculationSummary calculate(TestStore& store, const Selection& node = faculty())
{
    return WorkloadCalculator(store.data()).calculate(node);
}

// Every row of a table in a fixed order, as text, to compare a table before and after.
inline QStringList snapshot(Database& db, const QString& table, const QString& order)
{
    QStringList out;
    const Database::Result r = db.select(QStringLiteral("select * from %1 order by %2").arg(table, order));
    for (const QVariantList& row : r.rows) {
        QStringList cells;
        for (const QVariant& v : row)
            cells << (v.isValid() ? v.toString() : QStringLiteral("<null>"));
        out << cells.join(u'|');
    }
    return out;
}

} // namespace CalcFixture
