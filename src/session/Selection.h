#pragma once

#include <QString>

// What the selected tree node gives the rest of the program: the year and the node (a whole year,
// a faculty, a section or a teacher of a section) as values. The services make their statements'
// texts from it: the condition on workload rows (YearFilter), the condition completing
// "select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and " for the node's teachers (NodeFilter,
// beginning with a space) and the report title (YearTitle). Names are spliced through the quoting
// helper, so for quote-free names the texts are exactly:
//   year      "nd like '%Y%'"                                     (no node filter)          "Y工作量"
//   faculty   "nd like '%Y%' and yuanbu='F'"                      " bmdm.ybmc='F'"          "YF工作量"
//   section   "nd like '%Y%' and jiaoshi='S'"                     " bmdm.bmmc='S'"          "YS工作量"
//   teacher   "nd like '%Y%' and jiaoshi='T' and jiaoyanshi='S'"  " bmdm.bmmc='S' and rymc='T'"  "YST工作量"
struct Selection
{
    enum class Level
    {
        None,
        Year,
        Faculty,
        Section,
        Teacher
    };

    // A node of the tree below the year.
    struct Node
    {
        Level level = Level::None;
        QString faculty;
        QString section;
        QString teacher;

        bool operator==(const Node&) const = default;
    };

    QString academicYear;
    Node node;
    // Whose teachers the node filter reaches: the node itself, or for a whole year the node chosen
    // before (a year brings no teacher condition of its own).
    Node teachersOf;

    static Selection year(const QString& year);
    static Selection faculty(const QString& year, const QString& faculty);
    static Selection section(const QString& year, const QString& section);
    static Selection teacher(const QString& year, const QString& teacher, const QString& section);

    // This selection after `next` was chosen: a whole year keeps the teachers chosen before.
    Selection followedBy(const Selection& next) const;

    QString YearFilter() const;
    QString NodeFilter() const;
    QString YearTitle() const;

    bool operator==(const Selection&) const = default;
};
