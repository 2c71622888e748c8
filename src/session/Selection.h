#pragma once

#include <QString>

// What the selected tree node gives the rest of the program: the condition on workload rows
// (YearFilter), the condition completing "select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and "
// for the node's teachers (NodeFilter, beginning with a space) and the report title (YearTitle).
// Built here and nowhere else. Names are spliced through the quoting helper, so for quote-free
// names the texts are exactly:
//   year      "nd like '%Y%'"                                     (no node filter)          "Y工作量"
//   faculty   "nd like '%Y%' and yuanbu='F'"                      " bmdm.ybmc='F'"          "YF工作量"
//   section   "nd like '%Y%' and jiaoyanshi='S'"                  " bmdm.bmmc='S'"          "YS工作量"
//   teacher   "nd like '%Y%' and jiaoshi='T' and jiaoyanshi='S'"  " bmdm.bmmc='S' and rymc='T'"  "YST工作量"
struct Selection
{
    QString YearFilter;
    QString NodeFilter;
    QString YearTitle;

    static Selection year(const QString& year);
    static Selection faculty(const QString& year, const QString& faculty);
    static Selection section(const QString& year, const QString& section);
    static Selection teacher(const QString& year, const QString& teacher, const QString& section);

    // This selection after `next` was chosen: a whole year brings no teacher condition of its own
    // and keeps the one chosen before.
    Selection followedBy(const Selection& next) const;

    bool operator==(const Selection&) const = default;
};
