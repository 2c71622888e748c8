#include "stats/StatsYear.h"

#include "store/ProgramError.h"

#include <QMap>

#include <algorithm>
#include <cmath>

namespace {

QString groupValue(const StatsTeacher& t, StatsGrouping grouping)
{
    switch (grouping) {
    case StatsGrouping::Faculty:
        return t.faculty;
    case StatsGrouping::Section:
        return t.sectionCode;
    case StatsGrouping::Title:
        return t.title;
    case StatsGrouping::Nature:
        return t.nature;
    case StatsGrouping::Post:
        break;
    }
    return t.post;
}

Selection::Node groupNode(const StatsTeacher& t, StatsGrouping grouping)
{
    if (grouping == StatsGrouping::Faculty)
        return {Selection::Level::Faculty, t.faculty, {}, {}};
    if (grouping == StatsGrouping::Section)
        return {Selection::Level::Section, t.faculty, t.section, {}};
    return {};
}

QString groupLabel(const StatsTeacher& t, StatsGrouping grouping)
{
    const QString value = grouping == StatsGrouping::Section ? t.section : groupValue(t, grouping);
    return value.isEmpty() ? QStringLiteral("(空)") : value;
}

// The groups in order: faculties and sections as the teachers come (the store's order), the
// values of an attribute in the order the teacher dialog offers them, others after them.
std::vector<StatsGroup> groupsOf(const std::vector<StatsTeacher>& teachers, StatsGrouping grouping)
{
    QStringList order = StatsGroupings::knownValues(grouping);
    QMap<QString, std::vector<const StatsTeacher*>> members;
    for (const StatsTeacher& t : teachers) {
        const QString value = groupValue(t, grouping);
        if (!order.contains(value))
            order << value;
        members[value].push_back(&t);
    }
    std::vector<StatsGroup> groups;
    for (const QString& value : order) {
        const auto found = members.constFind(value);
        if (found == members.constEnd())
            continue;
        const StatsTeacher& first = *found->front();
        groups.push_back(StatsGroup::of(groupLabel(first, grouping), groupNode(first, grouping), *found));
    }
    return groups;
}

qint64 binIndex(qint64 total, qint64 width)
{
    return qint64(std::floor(double(total) / double(width)));
}

std::vector<StatsBin> binsOf(const std::vector<StatsTeacher>& teachers, qint64 width)
{
    if (width <= 0)
        throw ProgramError(ProgramError::Kind::RefusedInput, QStringLiteral("分组宽度必须大于 0"));
    QMap<qint64, int> counts;
    for (const StatsTeacher& t : teachers)
        if (t.rows > 0)
            ++counts[binIndex(t.total(), width)];
    if (counts.isEmpty())
        return {};
    const qint64 first = counts.firstKey();
    const qint64 last = counts.lastKey();
    if (last - first + 1 > StatsRequest::MaxBins)
        throw ProgramError(ProgramError::Kind::RefusedInput,
                           QStringLiteral("分组宽度 %1 太小：会分成 %2 组 (最多 %3 组)")
                               .arg(StatsRequest::amountText(width))
                               .arg(last - first + 1)
                               .arg(StatsRequest::MaxBins));
    std::vector<StatsBin> bins;
    for (qint64 i = first; i <= last; ++i)
        bins.push_back({i * width, counts.value(i)});
    return bins;
}

} // namespace

QString StatsYear::statusText() const
{
    switch (status) {
    case Status::Calculated:
        return QStringLiteral("已计算");
    case Status::Partial:
        return QStringLiteral("部分计算");
    case Status::NotCalculated:
        break;
    }
    return QStringLiteral("未计算");
}

bool StatsYear::isBelow(const StatsTeacher& teacher, const StatsRequest& request)
{
    return request.threshold && teacher.total() < *request.threshold;
}

StatsYear StatsYear::of(const QString& year, std::vector<StatsTeacher> teachers, const QDateTime& lastCalculated,
                        const StatsRequest& request)
{
    StatsYear y;
    y.year = year;
    y.teachers = std::move(teachers);
    int withRows = 0;
    int reached = 0;
    for (const StatsTeacher& t : y.teachers) {
        if (t.rows == 0)
            continue;
        ++withRows;
        if (t.calculated)
            ++reached;
    }
    y.uncalculatedTeachers = withRows - reached;
    if (reached == 0)
        return y;
    y.status = reached == withRows ? Status::Calculated : Status::Partial;
    y.lastCalculated = lastCalculated;
    y.groups = groupsOf(y.teachers, request.grouping);
    std::vector<const StatsTeacher*> all;
    for (const StatsTeacher& t : y.teachers)
        all.push_back(&t);
    y.overall = StatsGroup::of(QStringLiteral("合计"), request.node, all);
    y.bins = binsOf(y.teachers, request.binWidth);
    if (request.threshold)
        for (const StatsTeacher& t : y.teachers)
            if (t.rows > 0)
                ++(isBelow(t, request) ? y.below : y.atOrAbove);
    return y;
}
