#include "stats/StatsViews.h"

#include <cmath>

namespace {

using Cell = StatsTable::Cell;

Cell number(double hundredths)
{
    return std::round(hundredths) / 100.0;
}

Cell count(int n)
{
    return double(n);
}

// The columns of a group's figures after its label: teachers, without rows, the six sums, total,
// mean, median, minimum, maximum.
QStringList figureHeading()
{
    return QStringList{QStringLiteral("教师人数"), QStringLiteral("无记录教师")} + StatsViews::figureNames() +
           QStringList{QStringLiteral("合计"), QStringLiteral("人均"), QStringLiteral("中位数"), QStringLiteral("最低"),
                       QStringLiteral("最高")};
}

void appendFigures(StatsTable::Row& row, const StatsGroup& g)
{
    row.push_back(count(g.teachers));
    row.push_back(count(g.teachersWithoutRows));
    for (qint64 sum : g.sums)
        row.push_back(number(double(sum)));
    row.push_back(number(double(g.total)));
    if (g.teachers == 0) {
        row.insert(row.end(), 4, std::monostate{});
        return;
    }
    row.push_back(number(g.mean()));
    row.push_back(number(g.median));
    row.push_back(number(double(g.minimum)));
    row.push_back(number(double(g.maximum)));
}

QString thresholdText(const StatsResult& r)
{
    return StatsRequest::amountText(r.request.threshold.value_or(0));
}

} // namespace

namespace StatsViews {

const QStringList& figureNames()
{
    static const QStringList names{QStringLiteral("课堂"),     QStringLiteral("课外"),
                                   QStringLiteral("实验"),     QStringLiteral("实习设计"),
                                   QStringLiteral("毕业设计"), QStringLiteral("指导研究生")};
    return names;
}

QString amount(qint64 hundredths)
{
    const qint64 magnitude = hundredths < 0 ? -hundredths : hundredths;
    return (hundredths < 0 ? QStringLiteral("-") : QString()) +
           QStringLiteral("%1.%2").arg(magnitude / 100).arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

QString sourceNote()
{
    return QStringLiteral(
        "各学年的数字来自该学年的工作量记录 (gzl 的计算结果)，按教师合计到分；只统计该学年有工作量记录的"
        "教师。教师名单和一览表中的总工作量是教师表 (rydm) 保存的最近一次计算的合计，不分学年。");
}

QString stateNote(const StatsYear& year)
{
    const QString when =
        year.lastCalculated.isValid()
            ? QStringLiteral("最近计算 %1").arg(year.lastCalculated.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
            : QString();
    switch (year.status) {
    case StatsYear::Status::Calculated:
        return QStringLiteral("%1 已计算 (%2)").arg(year.year, when);
    case StatsYear::Status::Partial:
        return QStringLiteral("%1 部分计算 (%2 位教师的工作量未计算; %3)")
            .arg(year.year)
            .arg(year.uncalculatedTeachers)
            .arg(when);
    case StatsYear::Status::NotCalculated:
        break;
    }
    return QStringLiteral("%1 未计算").arg(year.year);
}

StatsTable groupTable(const StatsResult& result, const StatsYear& year)
{
    StatsTable t{QStringLiteral("分组统计"),
                 QStringList{StatsGroupings::caption(result.request.grouping)} + figureHeading(),
                 {}};
    if (!year.hasFigures()) {
        t.rows.push_back({QStringLiteral("未计算")});
        return t;
    }
    for (const StatsGroup& g : year.groups) {
        StatsTable::Row row{g.label};
        appendFigures(row, g);
        t.rows.push_back(row);
    }
    StatsTable::Row total{QStringLiteral("合计")};
    appendFigures(total, year.overall);
    t.rows.push_back(total);
    return t;
}

StatsTable thresholdTable(const StatsResult& result, const StatsYear& year)
{
    StatsTable t{QStringLiteral("阈值"), {QStringLiteral("工作量合计"), QStringLiteral("教师人数")}, {}};
    if (!result.request.threshold)
        return t;
    const QString n = thresholdText(result);
    if (!year.hasFigures()) {
        t.rows.push_back({QStringLiteral("低于 ") + n, QStringLiteral("未计算")});
        t.rows.push_back({QStringLiteral("不低于 ") + n, QStringLiteral("未计算")});
        return t;
    }
    t.rows.push_back({QStringLiteral("低于 ") + n, count(year.below)});
    t.rows.push_back({QStringLiteral("不低于 ") + n, count(year.atOrAbove)});
    return t;
}

StatsTable binTable(const StatsResult& result, const StatsYear& year)
{
    StatsTable t{QStringLiteral("分布 (每组 %1)").arg(StatsRequest::amountText(result.request.binWidth)),
                 {QStringLiteral("区间下限"), QStringLiteral("教师人数")},
                 {}};
    if (!year.hasFigures())
        t.rows.push_back({QStringLiteral("未计算")});
    for (const StatsBin& b : year.bins)
        t.rows.push_back({number(double(b.lower)), count(b.count)});
    return t;
}

StatsTable teacherTable(const StatsResult& result, const StatsYear& year)
{
    QStringList heading{QStringLiteral("院部"), QStringLiteral("教研室"), QStringLiteral("教师代码"),
                        QStringLiteral("姓名"), QStringLiteral("职称"),   QStringLiteral("性质"),
                        QStringLiteral("岗位"), QStringLiteral("记录数")};
    heading << figureNames() << QStringLiteral("合计");
    if (result.request.threshold)
        heading << QStringLiteral("低于 ") + thresholdText(result);
    StatsTable t{QStringLiteral("教师"), heading, {}};
    if (!year.hasFigures()) {
        t.rows.push_back({QStringLiteral("未计算")});
        return t;
    }
    for (const StatsTeacher& teacher : year.teachers) {
        StatsTable::Row row{teacher.faculty, teacher.section, teacher.code, teacher.name,
                            teacher.title,   teacher.nature,  teacher.post, count(teacher.rows)};
        if (teacher.rows > 0) {
            for (qint64 h : teacher.hundredths)
                row.push_back(number(double(h)));
            row.push_back(number(double(teacher.total())));
            if (result.request.threshold)
                row.push_back(StatsYear::isBelow(teacher, result.request) ? QStringLiteral("是")
                                                                          : QStringLiteral("否"));
        }
        t.rows.push_back(row);
    }
    return t;
}

StatsTable yearTable(const StatsResult& result)
{
    StatsTable t{
        QStringLiteral("历年对比"),
        QStringList{QStringLiteral("学年"), StatsGroupings::caption(result.request.grouping), QStringLiteral("状态")} +
            figureHeading() + QStringList{QStringLiteral("最近计算")},
        {}};
    for (const StatsYear& y : result.years) {
        if (!y.hasFigures()) {
            t.rows.push_back({y.year, std::monostate{}, y.statusText()});
            continue;
        }
        const QString when = y.lastCalculated.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        std::vector<const StatsGroup*> groups;
        for (const StatsGroup& g : y.groups)
            groups.push_back(&g);
        groups.push_back(&y.overall);
        for (const StatsGroup* g : groups) {
            StatsTable::Row row{y.year, g->label, y.statusText()};
            appendFigures(row, *g);
            row.push_back(when);
            t.rows.push_back(row);
        }
    }
    return t;
}

std::vector<StatsView> of(const StatsResult& result)
{
    if (result.request.allYears)
        return {{QStringLiteral("历年对比"), {yearTable(result)}}};
    const StatsYear& year = result.years.front();
    std::vector<StatsTable> distribution;
    if (result.request.threshold)
        distribution.push_back(thresholdTable(result, year));
    distribution.push_back(binTable(result, year));
    return {{QStringLiteral("分组统计"), {groupTable(result, year)}},
            {QStringLiteral("分布"), distribution},
            {QStringLiteral("教师"), {teacherTable(result, year)}}};
}

} // namespace StatsViews
