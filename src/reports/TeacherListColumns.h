#pragma once

#include <QStringList>

// The headings of the list's ten columns, as printed and as written to spreadsheet files.
inline const QStringList& teacherListHeadings()
{
    static const QStringList headings{QStringLiteral("序号"),         QStringLiteral("姓名"),
                                      QStringLiteral("课堂教学"),     QStringLiteral("课外教学"),
                                      QStringLiteral("实验教学"),     QStringLiteral("实习、设计"),
                                      QStringLiteral("本科毕业论文"), QStringLiteral("指导研究生"),
                                      QStringLiteral("工作量合计"),   QStringLiteral("备注")};
    return headings;
}
