#include "reports/TeacherListSource.h"

#include "session/Session.h"
#include "store/DataModule.h"
#include "store/Query.h"

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
    row.q11 = total(rows, QStringLiteral("Q11"));
    row.q12 = total(rows, QStringLiteral("Q12"));
    row.q2 = total(rows, QStringLiteral("Q2"));
    row.q31 = total(rows, QStringLiteral("Q31"));
    row.q32 = total(rows, QStringLiteral("Q32"));
    row.q33 = total(rows, QStringLiteral("Q33"));
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
    return read(*data.dtrydm, session.selection.YearTitle);
}
