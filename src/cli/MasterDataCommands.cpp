#include "cli/Cli.h"
#include "masterdata/Faculties.h"
#include "masterdata/MasterDataText.h"
#include "masterdata/Sections.h"
#include "masterdata/Teachers.h"
#include "store/DataModule.h"

namespace {

using Option = CommandSyntax::Option;
using Group = CommandSyntax::Group;

// Lists a holder's rows, tab-separated under a header of the fields.
int printList(Cli::Context& c, Query& list, const QStringList& fields)
{
    c.out << fields.join(u'\t') << "\n";
    for (list.first(); !list.eof(); list.next()) {
        QStringList cells;
        for (const QString& f : fields)
            cells << list.fieldByName(f).asString();
        c.out << cells.join(u'\t') << "\n";
    }
    list.close();
    return 0;
}

// What a change did, one line per table; a refusal goes to stderr with the screens' words.
int report(Cli::Context& c, const Outcome& outcome)
{
    if (!outcome.ok()) {
        c.err << outcome.message << "\n";
        if (!outcome.storeText.isEmpty())
            c.err << outcome.storeText << "\n";
        return 1;
    }
    for (const Outcome::Change& change : outcome.changes)
        c.out << change.table << ": " << change.rows << (change.rows == 1 ? " row " : " rows ") << change.verb << "\n";
    return 0;
}

int refuse(Cli::Context& c, const QString& message)
{
    c.err << message << "\n";
    return 1;
}

// The store of the command's data directory, in a data module of the action's own.
struct Store
{
    explicit Store(const Cli::Context& c) { data.connectTo(c.store); }
    DataModule data;
};

// The argument at i.
QString arg(const Cli::Context& c, qsizetype i)
{
    return c.args.argument(i);
}

int listFaculties(Cli::Context& c)
{
    Store s(c);
    Faculties(s.data).openList();
    return printList(c, *s.data.dtbmdm, {QStringLiteral("mc")});
}

int addFaculty(Cli::Context& c)
{
    Store s(c);
    return report(c, Faculties(s.data).add(arg(c, 0)));
}

int renameFaculty(Cli::Context& c)
{
    Store s(c);
    return report(c, Faculties(s.data).rename(arg(c, 0), arg(c, 1)));
}

int deleteFaculty(Cli::Context& c)
{
    Store s(c);
    return report(c, Faculties(s.data).remove(arg(c, 0)));
}

int listSections(Cli::Context& c)
{
    Store s(c);
    Sections sections(s.data);
    if (const std::optional<QString> faculty = c.args.value(u"--faculty")) {
        if (!Faculties(s.data).exists(*faculty))
            return refuse(c, MasterDataText::FacultyMissing.arg(*faculty));
        sections.openList(*faculty);
    } else {
        sections.openAll();
    }
    return printList(c, *s.data.dtbmdm, {QStringLiteral("bmdm"), QStringLiteral("bmmc"), QStringLiteral("ybmc")});
}

int addSection(Cli::Context& c)
{
    Store s(c);
    return report(c, Sections(s.data).add(*c.args.value(u"--faculty"), arg(c, 0), arg(c, 1)));
}

int editSection(Cli::Context& c)
{
    Store s(c);
    return report(c, Sections(s.data).amend(arg(c, 0), c.args.value(u"--code"), c.args.value(u"--name")));
}

int deleteSection(Cli::Context& c)
{
    Store s(c);
    return report(c, Sections(s.data).remove(arg(c, 0)));
}

int listTeachers(Cli::Context& c)
{
    Store s(c);
    Teachers teachers(s.data);
    if (const std::optional<QString> section = c.args.value(u"--section")) {
        if (!Sections(s.data).find(*section))
            return refuse(c, MasterDataText::SectionMissing.arg(*section));
        teachers.openList(*section);
    } else {
        teachers.openAll();
    }
    return printList(c, *s.data.dtrydm,
                     {QStringLiteral("rydm"), QStringLiteral("rymc"), QStringLiteral("bmdm"), QStringLiteral("bmmc"),
                      QStringLiteral("ryzc"), QStringLiteral("ryxz"), QStringLiteral("rygw")});
}

// The teacher's values that the options give.
Teachers::Change teacherChange(const Cli::Context& c)
{
    return {c.args.value(u"--code"), c.args.value(u"--name"), c.args.value(u"--title"), c.args.value(u"--nature"),
            c.args.value(u"--post")};
}

int addTeacher(Cli::Context& c)
{
    Store s(c);
    Teachers::Teacher t = teacherChange(c).appliedTo(Teachers::defaults());
    t.code = arg(c, 0);
    t.name = arg(c, 1);
    return report(c, Teachers(s.data).add(*c.args.value(u"--section"), t));
}

int editTeacher(Cli::Context& c)
{
    Store s(c);
    return report(c, Teachers(s.data).amend(arg(c, 0), teacherChange(c)));
}

int deleteTeacher(Cli::Context& c)
{
    Store s(c);
    return report(c, Teachers(s.data).remove(arg(c, 0)));
}

// A teacher's title, nature and post.
QList<Option> teacherAttributes()
{
    return {Option::text("--title", "T"), Option::text("--nature", "N"), Option::text("--post", "P")};
}

} // namespace

Cli::Command facultyCommand()
{
    return {
        .name = QStringLiteral("faculty"),
        .usage = QStringLiteral("faculty list | add NAME | rename OLD NEW | delete NAME"),
        .summary = QStringLiteral("lists, adds, renames and deletes faculties as the program's \"院部管理\" does; a "
                                  "rename is carried into the sections, the workload rows of every year and the "
                                  "remembered selection; a faculty with workload rows or sections is not deleted"),
        .actions = {
            {QStringLiteral("list"), {}, listFaculties},
            {QStringLiteral("add"), {.arguments = {QStringLiteral("NAME")}}, addFaculty},
            {QStringLiteral("rename"), {.arguments = {QStringLiteral("OLD"), QStringLiteral("NEW")}}, renameFaculty},
            {QStringLiteral("delete"), {.arguments = {QStringLiteral("NAME")}}, deleteFaculty}}};
}

Cli::Command sectionCommand()
{
    return {.name = QStringLiteral("section"),
            .usage = QStringLiteral("section list [--faculty F] | add --faculty F CODE NAME | edit CODE [--code NEW] "
                                    "[--name NEW] | delete CODE"),
            .summary =
                QStringLiteral("lists, adds, edits and deletes sections as the program's \"教研室管理\" does; a new "
                               "code is carried into the teachers, a new name into the faculty's workload rows; "
                               "a section with workload rows or teachers is not deleted"),
            .actions = {{QStringLiteral("list"), {.options = {Option::text("--faculty", "F")}}, listSections},
                        {QStringLiteral("add"),
                         {.options = {Option::requiredText("--faculty", "F")},
                          .arguments = {QStringLiteral("CODE"), QStringLiteral("NAME")}},
                         addSection},
                        {QStringLiteral("edit"),
                         {.options = {Option::text("--code", "NEW"), Option::text("--name", "NEW")},
                          .groups = {Group::of(Group::Rule::AtLeastOne, {"--code", "--name"})},
                          .arguments = {QStringLiteral("CODE")}},
                         editSection},
                        {QStringLiteral("delete"), {.arguments = {QStringLiteral("CODE")}}, deleteSection}}};
}

Cli::Command teacherCommand()
{
    return {.name = QStringLiteral("teacher"),
            .usage =
                QStringLiteral("teacher list [--section CODE] | add --section CODE CODE NAME [--title T] [--nature N] "
                               "[--post P] | edit CODE [--code NEW] [--name NEW] [--title T] [--nature N] [--post P] "
                               "| delete CODE"),
            .summary =
                QStringLiteral("lists, adds, edits and deletes teachers as the program's \"教师管理\" does (a new "
                               "teacher: 中级, 专职, 无重点岗位 unless given); an edit is carried into the teacher's "
                               "workload rows of every year; a teacher with workload rows is not deleted"),
            .actions = {
                {QStringLiteral("list"), {.options = {Option::text("--section", "CODE")}}, listTeachers},
                {QStringLiteral("add"),
                 {.options = QList<Option>{Option::requiredText("--section", "CODE")} + teacherAttributes(),
                  .arguments = {QStringLiteral("CODE"), QStringLiteral("NAME")}},
                 addTeacher},
                {QStringLiteral("edit"),
                 {.options =
                      QList<Option>{Option::text("--code", "NEW"), Option::text("--name", "NEW")} + teacherAttributes(),
                  .groups = {Group::of(Group::Rule::AtLeastOne, {"--code", "--name", "--title", "--nature", "--post"})},
                  .arguments = {QStringLiteral("CODE")}},
                 editTeacher},
                {QStringLiteral("delete"), {.arguments = {QStringLiteral("CODE")}}, deleteTeacher}}};
}
