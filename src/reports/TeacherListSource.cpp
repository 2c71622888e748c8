#include "reports/TeacherListSource.h"

#include "session/Session.h"
#include "store/DataModule.h"
#include "store/Query.h"
#include "store/WorkloadCategories.h"

namespace {

std::optional<double> total(const Query& rows, const QString& name)
{
    const Field field = rows.fieldByName(name);
    if (field.isNull())
        return std::nullopt;
    return field.asFloat();
}

TeacherListRow currentRow(const Query& rows)
{
    TeacherListRow row;
    row.rymc = rows.fieldByName(QStringLiteral("Rymc")).asString();
    const std::vector<const char*>& columns = WorkloadCategories::totalColumns();
    for (std::size_t i = 0; i < columns.size(); ++i)
        row.figures[i] = total(rows, QString::fromLatin1(columns[i]));
    row.q = total(rows, QStringLiteral("Q"));
    return row;
}

} // namespace

TeacherListData TeacherListSource::read(Query& dtrydm, const QString& yearTitle, const QDateTime& generatedAt)
{
    TeacherListData data{yearTitle, generatedAt, {}};
    if (!dtrydm.isActive())
        return data;
    data.rows.reserve(std::size_t(dtrydm.recordCount()));
    for (dtrydm.first(); !dtrydm.eof(); dtrydm.next())
        data.rows.push_back(currentRow(dtrydm));
    return data;
}

TeacherListData TeacherListSource::read(DataModule& data, const Session& session)
{
    return read(*data.dtrydm, session.selection.YearTitle());
}
