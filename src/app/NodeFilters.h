#pragma once

#include <QString>

// The selection values a tree node gives: the condition on workload rows (YearFilter), the
// condition completing "select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and " for the node's
// teachers (NodeFilter, beginning with a space) and the report title (YearTitle). Names are
// spliced through the quoting helper, so for quote-free names the texts are exactly:
//   year      "nd like '%Y%'"                                     (node filter unchanged)  "Y工作量"
//   faculty   "nd like '%Y%' and yuanbu='F'"                      " bmdm.ybmc='F'"          "YF工作量"
//   section   "nd like '%Y%' and jiaoyanshi='S'"                  " bmdm.bmmc='S'"          "YS工作量"
//   teacher   "nd like '%Y%' and jiaoshi='T' and jiaoyanshi='S'"  " bmdm.bmmc='S' and rymc='T'"  "YST工作量"
struct NodeFilters
{
    QString yearFilter;
    QString nodeFilter;
    QString yearTitle;

    static NodeFilters year(const QString& year);
    static NodeFilters faculty(const QString& year, const QString& faculty);
    static NodeFilters section(const QString& year, const QString& section);
    static NodeFilters teacher(const QString& year, const QString& teacher, const QString& section);

    // Copies the three values into the login state (for the year alone, NodeFilter stays as it is).
    void applyToLoginState() const;
};
