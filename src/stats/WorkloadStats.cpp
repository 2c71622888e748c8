#include "stats/WorkloadStats.h"

#include "calc/CalculationRecords.h"
#include "stats/StatsSource.h"
#include "store/ProgramError.h"

namespace {

// Whether a recorded calculation computed the rows of a teacher: its node holds the teacher.
bool reaches(const Selection::Node& calculated, const StatsTeacher& t)
{
    switch (calculated.level) {
    case Selection::Level::Faculty:
        return calculated.faculty == t.faculty;
    case Selection::Level::Section:
        return calculated.section == t.section;
    case Selection::Level::Teacher:
        return calculated.section == t.section && calculated.teacher == t.name;
    case Selection::Level::Year:
    case Selection::Level::None:
        break;
    }
    return true;
}

QString nodeName(const Selection::Node& node)
{
    switch (node.level) {
    case Selection::Level::Faculty:
        return node.faculty;
    case Selection::Level::Section:
        return node.section;
    default:
        return {};
    }
}

} // namespace

StatsResult WorkloadStats::compute(const StatsRequest& request)
{
    if (request.binWidth <= 0)
        throw ProgramError(ProgramError::Kind::RefusedInput, QStringLiteral("分组宽度必须大于 0"));
    StatsSource source(m_db);
    StatsResult result{request, nodeName(request.node), {}};
    const std::vector<StatsTeacher> teachers = source.teachers(request.node);
    if (teachers.empty() && request.node.level != Selection::Level::Year)
        throw ProgramError(ProgramError::Kind::RefusedInput, QStringLiteral("%1没有教师").arg(result.nodeName));
    const QStringList years = request.allYears ? source.years() : QStringList{request.year};
    const QMap<QString, StatsSource::TeacherSums> sums =
        source.sums(request.node, request.allYears ? std::nullopt : std::optional<QString>(request.year));
    for (const QString& year : years) {
        const std::vector<CalculationRecords::Record> records = CalculationRecords::ofYear(m_db, year);
        const StatsSource::TeacherSums ofYear = sums.value(year);
        std::vector<StatsTeacher> withFigures = teachers;
        QDateTime last;
        for (StatsTeacher& t : withFigures) {
            const StatsSource::RowSums s = ofYear.value(StatsSource::teacherKey(t.name, t.section, t.faculty));
            t.rows = s.rows;
            t.hundredths = s.hundredths;
            for (const CalculationRecords::Record& r : records) {
                if (!reaches(r.node, t))
                    continue;
                t.calculated = true;
                if (t.rows > 0 && (!last.isValid() || r.at > last))
                    last = r.at;
            }
        }
        result.years.push_back(StatsYear::of(year, std::move(withFigures), last, request));
    }
    return result;
}
