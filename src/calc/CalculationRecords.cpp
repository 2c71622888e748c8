#include "calc/CalculationRecords.h"

#include "store/Database.h"
#include "store/PreparedStatement.h"

namespace CalculationRecords {
namespace {

const QString TimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

int levelNumber(Selection::Level level)
{
    switch (level) {
    case Selection::Level::Faculty:
        return 1;
    case Selection::Level::Section:
        return 2;
    case Selection::Level::Teacher:
        return 3;
    case Selection::Level::Year:
    case Selection::Level::None:
        break;
    }
    return 0;
}

Selection::Level levelOf(qint64 number)
{
    switch (number) {
    case 1:
        return Selection::Level::Faculty;
    case 2:
        return Selection::Level::Section;
    case 3:
        return Selection::Level::Teacher;
    default:
        return Selection::Level::Year;
    }
}

} // namespace

void write(Database& db, const QString& year, const Selection::Node& node, const QDateTime& at)
{
    // Prepared rather than executed: the record is the calculation's bookkeeping, not one of its
    // statements, so the calculation's trace (and its replay) stays what the parameter rows make.
    const std::unique_ptr<PreparedStatement> insert =
        db.prepare(QStringLiteral("insert into jsjl (nd, jb, yuanbu, jiaoyanshi, jiaoshi, sj) values "
                                  "(:nd, :jb, :yuanbu, :jiaoyanshi, :jiaoshi, :sj)"));
    const QVariantList values{year,         levelNumber(node.level), node.faculty, node.section,
                              node.teacher, at.toString(TimeFormat)};
    for (int i = 0; i < values.size(); ++i)
        insert->bind(i, values[i]);
    while (insert->step()) {
    }
}

std::vector<Record> ofYear(Database& db, const QString& year)
{
    const std::unique_ptr<PreparedStatement> rows =
        db.prepare(QStringLiteral("select jb, yuanbu, jiaoyanshi, jiaoshi, sj from jsjl where nd=:nd order by sj"));
    rows->bind(0, year);
    std::vector<Record> out;
    while (rows->step()) {
        Record r;
        r.year = year;
        r.node = {levelOf(rows->integer(0)), rows->textAt(1), rows->textAt(2), rows->textAt(3)};
        r.at = QDateTime::fromString(rows->textAt(4), TimeFormat);
        out.push_back(r);
    }
    return out;
}

} // namespace CalculationRecords
