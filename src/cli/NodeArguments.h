#pragma once

#include "session/Selection.h"

#include <QString>
#include <QStringList>

class Database;

// The tree node that a command line names, the same way for every command:
// --year Y [--faculty F | --section S | --teacher T --section S]. Builds the selection the main
// window would have for that node.
struct NodeArguments
{
    QString year;
    QString faculty;
    QString section;
    QString teacher;
    bool hasFaculty = false;
    bool hasSection = false;
    bool hasTeacher = false;

    // Takes the four options and their values out of `args`; the rest stays for the command.
    static NodeArguments take(QStringList& args);

    bool namesNode() const { return hasFaculty || hasSection || hasTeacher; }
    // The node's selection, the whole year when no node is named. Inconsistent options are a
    // usage error.
    Selection selection() const;

    // What the command does with the year: filters rows by it (calc, export), or only names it
    // in a title (report, which lists the teachers' totals of the last calculation).
    enum class YearUse
    {
        Filter,
        Title
    };

    // Why the store cannot have this node, empty when it can. The year must be one of the
    // store's years (of niandu or of the workload rows) and, when it filters, the only one that
    // the selection's year filter reaches; a named faculty, section or teacher (a teacher of that
    // name in a section of that name) must exist. Names are looked up exactly, as given.
    QString problemIn(Database& db, YearUse use = YearUse::Filter) const;
};
