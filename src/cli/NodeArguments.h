#pragma once

#include "cli/CommandArguments.h"
#include "cli/CommandSyntax.h"
#include "session/Selection.h"

#include <QList>
#include <QString>

#include <optional>

class DataModule;

// The tree node that a command line names, the same way for every command:
// --year Y [--faculty F | --section S | --teacher T --section S]. Builds the selection the main
// window would have for that node.
struct NodeArguments
{
    QString year;
    std::optional<QString> faculty;
    std::optional<QString> section;
    std::optional<QString> teacher;

    // The options that name a node, for the syntax of a command that takes one; --year is required.
    static QList<CommandSyntax::Option> options();
    static NodeArguments from(const CommandArguments& given);

    bool namesNode() const { return faculty || section || teacher; }
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

    // Why the store cannot have this node; none when it can. The year must be one of the store's
    // years (of niandu or of the workload rows) and, when it filters, the only one that the
    // selection's year filter reaches; a named faculty, section or teacher (a teacher of that
    // name in a section of that name) must exist. Names are looked up exactly, as given.
    std::optional<QString> problemIn(DataModule& data, YearUse use = YearUse::Filter) const;
};
