#include "rows/EntryRows.h"

#include "rows/NumberInput.h"
#include "rows/WorkloadRows.h"

namespace EntryRows {

QList<RowField> theoryFields(const Theory& row, const QString& year)
{
    using T = RowField::Type;
    return {
        {QStringLiteral("jiaoshi"), {}},
        {QStringLiteral("yuanbu"), {}},
        {QStringLiteral("jiaoyanshi"), {}},
        {QStringLiteral("gm"), row.arranged ? QStringLiteral("0") : QStringLiteral("1"), T::Code, false, true},
        {QStringLiteral("bg"), row.reportsSet ? QStringLiteral("0") : QStringLiteral("1"), T::Code},
        {QStringLiteral("yan"), row.yan},
        {QStringLiteral("banji"), row.banji},
        {QStringLiteral("r1"), row.r1, T::Number},
        {QStringLiteral("kname"), row.kname},
        {QStringLiteral("t1"), row.t1, T::Number},
        {QStringLiteral("shuoming"), row.shuoming},
        {QStringLiteral("r2"), row.r2, T::Number},
        {QStringLiteral("t2"), row.t2, T::Number},
        {QStringLiteral("fzs"), row.fzs, T::Number},
        {QStringLiteral("xingzhi"), {}},
        {QStringLiteral("zhicheng"), {}},
        {QStringLiteral("gangwei"), {}},
        {QStringLiteral("fl"), WorkloadRows::categoryName(WorkloadRows::Category::Theory)},
        {QStringLiteral("nd"), year},
    };
}

QList<RowField> practiceFields(const Practice& row, const QString& year)
{
    using T = RowField::Type;
    return {
        {QStringLiteral("jiaoshi"), {}},
        {QStringLiteral("yuanbu"), {}},
        {QStringLiteral("jiaoyanshi"), {}},
        {QStringLiteral("gm"), row.arranged ? QStringLiteral("0") : QStringLiteral("1"), T::Code},
        {QStringLiteral("banji"), row.banji},
        {QStringLiteral("r3"), row.r3, T::Number},
        {QStringLiteral("kname"), row.kname},
        {QStringLiteral("w"), row.w, T::Number},
        {QStringLiteral("shuoming"), row.shuoming},
        {QStringLiteral("yan"), row.yan, T::Text, true},
        {QStringLiteral("r33"), row.r33, T::Number},
        {QStringLiteral("r32"), row.r32, T::Number},
        {QStringLiteral("q32"), row.q32, T::Number},
        {QStringLiteral("q33"), row.q33, T::Number},
        {QStringLiteral("xingzhi"), {}},
        {QStringLiteral("zhicheng"), {}},
        {QStringLiteral("gangwei"), {}},
        {QStringLiteral("fl"), WorkloadRows::categoryName(row.kind)},
        {QStringLiteral("nd"), year},
    };
}

bool theoryAmountsPass(const Theory& row)
{
    for (const QString* amount : {&row.t1, &row.t2, &row.r1}) {
        int value = 0;
        if (!NumberInput::toWholeNumber(*amount, &value))
            return false;
        if (value > 0)
            return true;
    }
    return false;
}

bool practiceAmountsPass(const Practice& row, bool* malformed)
{
    if (malformed)
        *malformed = false;
    for (const QString* amount : {&row.w, &row.r3, &row.r32, &row.r33}) {
        double value = 0;
        if (!NumberInput::toDecimal(*amount, &value)) {
            if (malformed)
                *malformed = true;
            return false;
        }
        if (value > 0)
            return true;
    }
    return false;
}

} // namespace EntryRows
