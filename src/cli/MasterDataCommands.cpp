#include "cli/Cli.h"
#include "cli/CommandOptions.h"
#include "masterdata/Faculties.h"
#include "masterdata/MasterDataText.h"
#include "masterdata/Sections.h"
#include "masterdata/Teachers.h"
#include "store/DataModule.h"

#include <QHash>

#include <optional>

namespace {

// The command's words: the subcommand, then positional arguments and "--name value" options.
struct Words
{
    QString action;
    QStringList positional;
    QHash<QString, QString> options;

    static Words take(const QStringList& args, const QStringList& known)
    {
        Words w;
        CommandOptions given;
        for (qsizetype i = 0; i < args.size(); ++i) {
            const QString& a = args[i];
            if (!a.startsWith(u"--")) {
                if (w.action.isEmpty())
                    w.action = a;
                else
                    w.positional << a;
                continue;
            }
            if (!known.contains(a))
                throw Cli::UsageError{QStringLiteral("unknown option %1").arg(a)};
            w.options.insert(a.mid(2), given.takeValue(args, i));
        }
        return w;
    }

    void expect(int count, const char* what) const
    {
        if (positional.size() != count)
            throw Cli::UsageError{QStringLiteral("%1 %2").arg(action, QString::fromLatin1(what))};
    }
    void allow(const QStringList& names) const
    {
        for (auto it = options.cbegin(); it != options.cend(); ++it)
            if (!names.contains(it.key()))
                throw Cli::UsageError{QStringLiteral("%1 takes no --%2").arg(action, it.key())};
    }
    std::optional<QString> option(const char* name) const
    {
        const auto it = options.constFind(QString::fromLatin1(name));
        return it == options.cend() ? std::nullopt : std::optional<QString>(*it);
    }
};

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

DataModule& connect(Cli::Context& c, DataModule& data)
{
    data.connectTo(c.dataDir);
    return data;
}

int runFaculty(Cli::Context& c)
{
    const Words w = Words::take(c.args, {});
    DataModule data;
    Faculties faculties(connect(c, data));
    if (w.action == u"list") {
        w.expect(0, "takes no arguments");
        faculties.openList();
        return printList(c, *data.dtbmdm, {QStringLiteral("mc")});
    }
    if (w.action == u"add") {
        w.expect(1, "wants NAME");
        return report(c, faculties.add(w.positional[0]));
    }
    if (w.action == u"rename") {
        w.expect(2, "wants OLD NEW");
        return report(c, faculties.rename(w.positional[0], w.positional[1]));
    }
    if (w.action == u"delete") {
        w.expect(1, "wants NAME");
        return report(c, faculties.remove(w.positional[0]));
    }
    throw Cli::UsageError{QStringLiteral("unknown action %1").arg(w.action)};
}

int runSection(Cli::Context& c)
{
    const Words w =
        Words::take(c.args, {QStringLiteral("--faculty"), QStringLiteral("--code"), QStringLiteral("--name")});
    DataModule data;
    Sections sections(connect(c, data));
    if (w.action == u"list") {
        w.expect(0, "takes no arguments");
        w.allow({QStringLiteral("faculty")});
        if (const auto faculty = w.option("faculty")) {
            if (!Faculties(data).exists(*faculty))
                return refuse(c, MasterDataText::FacultyMissing.arg(*faculty));
            sections.openList(*faculty);
        } else {
            sections.openAll();
        }
        return printList(c, *data.dtbmdm, {QStringLiteral("bmdm"), QStringLiteral("bmmc"), QStringLiteral("ybmc")});
    }
    if (w.action == u"add") {
        w.expect(2, "wants --faculty F CODE NAME");
        w.allow({QStringLiteral("faculty")});
        const auto faculty = w.option("faculty");
        if (!faculty)
            throw Cli::UsageError{QStringLiteral("add wants --faculty F")};
        return report(c, sections.add(*faculty, w.positional[0], w.positional[1]));
    }
    if (w.action == u"edit") {
        w.expect(1, "wants CODE");
        w.allow({QStringLiteral("code"), QStringLiteral("name")});
        if (w.options.isEmpty())
            throw Cli::UsageError{QStringLiteral("edit wants --code NEW or --name NEW")};
        return report(c, sections.amend(w.positional[0], w.option("code"), w.option("name")));
    }
    if (w.action == u"delete") {
        w.expect(1, "wants CODE");
        w.allow({});
        return report(c, sections.remove(w.positional[0]));
    }
    throw Cli::UsageError{QStringLiteral("unknown action %1").arg(w.action)};
}

// The teacher's values from the options, each falling back to `base`.
Teachers::Teacher teacherFrom(const Words& w, const Teachers::Teacher& base)
{
    return {w.option("code").value_or(base.code), w.option("name").value_or(base.name),
            w.option("title").value_or(base.title), w.option("nature").value_or(base.nature),
            w.option("post").value_or(base.post)};
}

int runTeacher(Cli::Context& c)
{
    const QStringList attributes{QStringLiteral("title"), QStringLiteral("nature"), QStringLiteral("post")};
    const Words w =
        Words::take(c.args, {QStringLiteral("--section"), QStringLiteral("--code"), QStringLiteral("--name"),
                             QStringLiteral("--title"), QStringLiteral("--nature"), QStringLiteral("--post")});
    DataModule data;
    Teachers teachers(connect(c, data));
    if (w.action == u"list") {
        w.expect(0, "takes no arguments");
        w.allow({QStringLiteral("section")});
        if (const auto section = w.option("section")) {
            if (!Sections(data).find(*section))
                return refuse(c, MasterDataText::SectionMissing.arg(*section));
            teachers.openList(*section);
        } else {
            teachers.openAll();
        }
        return printList(c, *data.dtrydm,
                         {QStringLiteral("rydm"), QStringLiteral("rymc"), QStringLiteral("bmdm"),
                          QStringLiteral("bmmc"), QStringLiteral("ryzc"), QStringLiteral("ryxz"),
                          QStringLiteral("rygw")});
    }
    if (w.action == u"add") {
        w.expect(2, "wants --section CODE CODE NAME");
        w.allow(QStringList{QStringLiteral("section")} + attributes);
        const auto section = w.option("section");
        if (!section)
            throw Cli::UsageError{QStringLiteral("add wants --section CODE")};
        Teachers::Teacher t = teacherFrom(w, Teachers::defaults());
        t.code = w.positional[0];
        t.name = w.positional[1];
        return report(c, teachers.add(*section, t));
    }
    if (w.action == u"edit") {
        w.expect(1, "wants CODE");
        w.allow(QStringList{QStringLiteral("code"), QStringLiteral("name")} + attributes);
        if (w.options.isEmpty())
            throw Cli::UsageError{
                QStringLiteral("edit wants at least one of --code, --name, --title, --nature, --post")};
        return report(
            c, teachers.amend(w.positional[0], Teachers::Change{w.option("code"), w.option("name"), w.option("title"),
                                                                w.option("nature"), w.option("post")}));
    }
    if (w.action == u"delete") {
        w.expect(1, "wants CODE");
        w.allow({});
        return report(c, teachers.remove(w.positional[0]));
    }
    throw Cli::UsageError{QStringLiteral("unknown action %1").arg(w.action)};
}

} // namespace

Cli::Command facultyCommand()
{
    return {QStringLiteral("faculty"), QStringLiteral("faculty list | add NAME | rename OLD NEW | delete NAME"),
            QStringLiteral("lists, adds, renames and deletes faculties as the program's \"院部管理\" does; a rename is "
                           "carried into the sections, the workload rows of every year and the remembered selection; "
                           "a faculty with workload rows or sections is not deleted"),
            runFaculty};
}

Cli::Command sectionCommand()
{
    return {
        QStringLiteral("section"),
        QStringLiteral("section list [--faculty F] | add --faculty F CODE NAME | edit CODE [--code NEW] "
                       "[--name NEW] | delete CODE"),
        QStringLiteral("lists, adds, edits and deletes sections as the program's \"教研室管理\" does; a new code is "
                       "carried into the teachers, a new name into the faculty's workload rows; a section with "
                       "workload rows or teachers is not deleted"),
        runSection};
}

Cli::Command teacherCommand()
{
    return {
        QStringLiteral("teacher"),
        QStringLiteral("teacher list [--section CODE] | add --section CODE CODE NAME [--title T] [--nature N] "
                       "[--post P] | edit CODE [--code NEW] [--name NEW] [--title T] [--nature N] [--post P] | "
                       "delete CODE"),
        QStringLiteral("lists, adds, edits and deletes teachers as the program's \"教师管理\" does (a new teacher: "
                       "中级, 专职, 无重点岗位 unless given); an edit is carried into the teacher's workload rows of "
                       "every year; a teacher with workload rows is not deleted"),
        runTeacher};
}
