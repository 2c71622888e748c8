#include "calc/FiniteResults.h"

#include "store/Database.h"
#include "store/PreparedStatement.h"
#include "store/SqlTokens.h"
#include "store/StoreError.h"
#include "store/StoreSchema.h"
#include "store/WorkloadStage.h"

namespace {

const QStringList& workloadColumns()
{
    static const QStringList names = [] {
        QStringList n;
        for (const StoreSchema::ColumnDef& c : StoreSchema::gzlColumns())
            n << QString::fromLatin1(c.name);
        return n;
    }();
    return names;
}

bool isPlainNumber(const QString& text)
{
    bool ok = false;
    text.trimmed().toDouble(&ok);
    return ok;
}

} // namespace

void FiniteResults::checkAhead(const QString& where, const QList<Assignment>& assigned, const ParameterRow& row,
                               const QString& statement)
{
    for (const Assignment& a : assigned) {
        if (!workloadColumns().contains(a.column.toLower()))
            continue; // not one column: the store refuses the update itself
        Teacher teacher;
        bool overflowed = false;
        if ((!m_stage || m_stage->checksAhead()) &&
            firstTeacher(where, QStringLiteral("abs(%1) >= 9e999").arg(a.expression), teacher, overflowed))
            refuse(row, a.column, &teacher, true, statement);
        if (isPlainNumber(a.expression))
            continue;
        const std::optional<QStringList> inputs = SqlTokens::arithmeticInputs(a.expression, workloadColumns());
        if (!inputs)
            continue; // a division, a function, NULL, CASE ...: an empty result may be meant
        QString undefined = QStringLiteral("(%1) is null").arg(a.expression);
        for (const QString& input : *inputs)
            undefined += QStringLiteral(" and %1 is not null").arg(input);
        // A store that stops at a number beyond every double stops here too: an infinite one.
        if (firstTeacher(where, undefined, teacher, overflowed))
            refuse(row, a.column, &teacher, overflowed, statement);
    }
}

void FiniteResults::explainRefusal(const StoreError& refusal, const QString& where, const QList<Assignment>& assigned,
                                   const ParameterRow& row, const QString& statement)
{
    QString column = m_stage ? m_stage->infiniteColumn(refusal) : QString();
    // A store that stops at a number beyond every double does not say which column it was
    // computing: the first one the statement assigns names the run's refusal.
    if (column.isEmpty() && refusal.isOverflow() && !assigned.isEmpty())
        column = assigned.front().column;
    if (column.isEmpty())
        return;
    for (const Assignment& a : assigned) {
        Teacher teacher;
        bool overflowed = false;
        if (a.column.compare(column, Qt::CaseInsensitive) == 0 &&
            firstTeacher(where, QStringLiteral("abs(%1) >= 9e999").arg(a.expression), teacher, overflowed))
            refuse(row, column, &teacher, true, statement);
    }
    refuse(row, column, nullptr, true, statement);
}

// The first selected row for which `condition` holds, evaluated on the rows as they are before
// the update (which computes from the same values). A check that the store cannot run (the
// expression is not one it takes) finds nothing: the update itself then reports what is wrong.
bool FiniteResults::firstTeacher(const QString& where, const QString& condition, Teacher& teacher, bool& overflowed)
{
    overflowed = false;
    try {
        // The update's own condition as it stands, whatever its `or`s bind to.
        const QString id = m_db.rowIdentity();
        const std::unique_ptr<PreparedStatement> first = m_db.prepare(
            QStringLiteral("select jiaoshi, jiaoyanshi, yuanbu from gzl where %1 in (select %1 from gzl %2) and (%3) "
                           "limit 1")
                .arg(id, where, condition));
        if (!first->step())
            return false;
        teacher = {first->textAt(0), first->textAt(1), first->textAt(2)};
        return true;
    } catch (const StoreError& e) {
        e.throwIfStoreState();
        if (e.isOverflow()) {
            overflowed = firstOverflowing(where, condition, teacher);
            return overflowed;
        }
        return false;
    }
}

// A store that stops at a number beyond every double cannot say for which row: each selected row
// is tried on its own, in the order they were stored.
bool FiniteResults::firstOverflowing(const QString& where, const QString& condition, Teacher& teacher)
{
    const QString id = m_db.rowIdentity();
    const Database::Result rows =
        m_db.select(QStringLiteral("select %1, jiaoshi, jiaoyanshi, yuanbu from gzl %2 order by %1").arg(id, where));
    for (const QVariantList& row : rows.rows) {
        try {
            m_db.hasRows(
                QStringLiteral("select 1 from gzl where %1=%2 and (%3)").arg(id, row.value(0).toString(), condition));
        } catch (const StoreError& e) {
            e.throwIfStoreState();
            if (!e.isOverflow())
                continue;
            teacher = {row.value(1).toString(), row.value(2).toString(), row.value(3).toString()};
            return true;
        }
    }
    return false;
}

void FiniteResults::refuse(const ParameterRow& row, const QString& column, const Teacher* teacher, bool infinite,
                           const QString& statement)
{
    QString text = QStringLiteral("计算结果不是有限数，计算没有进行: 参数行 (fenlie=%1, shuoming=%2, gs=%3)")
                       .arg(row.fenlie, row.shuoming, row.gs);
    if (teacher)
        text += QStringLiteral(" 给教师 %1 (%2, %3)").arg(teacher->name, teacher->section, teacher->faculty);
    text += QStringLiteral(" 的 %1 算出了%2")
                .arg(column, infinite ? QStringLiteral("无穷大") : QStringLiteral("无法表示的值 (NaN)"));
    throw StoreError(text, statement);
}
