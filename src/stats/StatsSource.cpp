#include "stats/StatsSource.h"

#include "store/Database.h"
#include "store/PreparedStatement.h"
#include "store/WorkloadCategories.h"

#include <QStringList>

#include <cmath>

namespace {

// The condition on the teacher join, and its one bound value, for a node.
QString teacherCondition(const Selection::Node& node)
{
    switch (node.level) {
    case Selection::Level::Faculty:
        return QStringLiteral(" and bmdm.ybmc=:node");
    case Selection::Level::Section:
        return QStringLiteral(" and bmdm.bmmc=:node");
    default:
        return {};
    }
}

// The same node on the workload rows, which name their faculty and section.
QString rowCondition(const Selection::Node& node)
{
    switch (node.level) {
    case Selection::Level::Faculty:
        return QStringLiteral("yuanbu=:node");
    case Selection::Level::Section:
        return QStringLiteral("jiaoyanshi=:node");
    default:
        return {};
    }
}

QString nodeValue(const Selection::Node& node)
{
    return node.level == Selection::Level::Faculty ? node.faculty : node.section;
}

// A teacher's sum of a figure, held as the calculation holds the total: the sum in hundredths
// taken to the nearest whole number, halves to the even neighbour; an empty sum is 0.
qint64 hundredthsOf(const PreparedStatement& row, int column)
{
    if (row.columnType(column) == PreparedStatement::Type::Null)
        return 0;
    return qint64(std::nearbyint(row.number(column)));
}

} // namespace

QString StatsSource::teacherKey(const QString& name, const QString& section, const QString& faculty)
{
    return name + QChar(0x1f) + section + QChar(0x1f) + faculty;
}

std::vector<StatsTeacher> StatsSource::teachers(const Selection::Node& node)
{
    const std::unique_ptr<PreparedStatement> rows = m_db.prepare(
        QStringLiteral("select rydm.rydm, rydm.rymc, rydm.bmdm, bmdm.bmmc, bmdm.ybmc, rydm.ryzc, rydm.ryxz, rydm.rygw "
                       "from rydm, bmdm where rydm.bmdm=bmdm.bmdm%1 order by bmdm.ybmc, rydm.bmdm, rydm.rydm")
            .arg(teacherCondition(node)));
    if (!teacherCondition(node).isEmpty())
        rows->bind(0, nodeValue(node));
    std::vector<StatsTeacher> out;
    while (rows->step()) {
        StatsTeacher t;
        t.code = rows->textAt(0);
        t.name = rows->textAt(1);
        t.sectionCode = rows->textAt(2);
        t.section = rows->textAt(3);
        t.faculty = rows->textAt(4);
        t.title = rows->textAt(5);
        t.nature = rows->textAt(6);
        t.post = rows->textAt(7);
        out.push_back(t);
    }
    return out;
}

QMap<QString, StatsSource::TeacherSums> StatsSource::sums(const Selection::Node& node,
                                                          const std::optional<QString>& year)
{
    QStringList figures;
    for (const char* column : WorkloadCategories::totalColumns())
        figures << QStringLiteral("sum(%1)*100").arg(QLatin1String(column));
    QStringList conditions;
    if (year)
        conditions << QStringLiteral("nd=:year");
    if (!rowCondition(node).isEmpty())
        conditions << rowCondition(node);
    const QString where = conditions.isEmpty() ? QString() : QStringLiteral(" where ") + conditions.join(" and ");
    const std::unique_ptr<PreparedStatement> rows =
        m_db.prepare(QStringLiteral("select nd, jiaoshi, jiaoyanshi, yuanbu, count(*), %1 from gzl%2 "
                                    "group by nd, jiaoshi, jiaoyanshi, yuanbu")
                         .arg(figures.join(u','), where));
    int parameter = 0;
    if (year)
        rows->bind(parameter++, *year);
    if (!rowCondition(node).isEmpty())
        rows->bind(parameter, nodeValue(node));
    QMap<QString, TeacherSums> out;
    while (rows->step()) {
        RowSums sums;
        sums.rows = int(rows->integer(4));
        for (int i = 0; i < StatsTeacher::FigureCount; ++i)
            sums.hundredths[std::size_t(i)] = hundredthsOf(*rows, 5 + i);
        out[rows->textAt(0)].insert(teacherKey(rows->textAt(1), rows->textAt(2), rows->textAt(3)), sums);
    }
    return out;
}

QStringList StatsSource::years()
{
    const std::unique_ptr<PreparedStatement> rows = m_db.prepare(QStringLiteral("select nd from niandu"));
    QStringList out;
    while (rows->step())
        if (const QString year = rows->textAt(0); !year.isEmpty() && !out.contains(year))
            out << year;
    return out;
}
