#include "cli/Cli.h"
#include "cli/NodeArguments.h"
#include "rows/EntryRows.h"
#include "rows/WorkloadRows.h"
#include "session/Session.h"
#include "store/DataModule.h"

namespace {

using Option = CommandSyntax::Option;
using Category = WorkloadCategories::Id;

QString valueOr(const CommandArguments& args, const char* option, const QString& otherwise = {})
{
    return args.value(QString::fromLatin1(option)).value_or(otherwise);
}

Category categoryOf(const QString& name)
{
    for (const Category c : {Category::Theory, Category::Internship, Category::Graduation, Category::Supervision})
        if (WorkloadRows::categoryName(c) == name)
            return c;
    throw Cli::UsageError(QStringLiteral("--category is one of 理论实验, 实习设计, 毕业设计, 指导硕士"));
}

// The entry dialog's checks before a save, in its words; empty when the row may be saved.
QString theoryProblem(const EntryRows::Theory& row)
{
    if (!EntryRows::theoryAmountsPass(row))
        return QStringLiteral("理论学时、实验学时或学生人数必须有一个是正整数");
    if (row.kname.trimmed().isEmpty() || row.banji.trimmed().isEmpty())
        return QStringLiteral("课程名称和班级名称不能为空!");
    return {};
}

QString practiceProblem(const EntryRows::Practice& row)
{
    bool malformed = false;
    if (!EntryRows::practiceAmountsPass(row, &malformed))
        return malformed ? QStringLiteral("数字输入错误，请使用半角!")
                         : QStringLiteral("周数、学生人数、毕业设计人数或指导人数必须有一个大于零");
    if (row.kname.trimmed().isEmpty() || row.banji.trimmed().isEmpty())
        return QStringLiteral("设计名称和设计班级不能为空!");
    return {};
}

int saved(Cli::Context& c, WorkloadRows& rows, WorkloadRows::Save result, const Session& session)
{
    switch (result) {
    case WorkloadRows::Save::Saved:
        c.out << "added row " << session.NextXh << "\n";
        return 0;
    case WorkloadRows::Save::NoTeacher:
        c.err << WorkloadRows::NoTeacherText << "\n";
        return 1;
    case WorkloadRows::Save::Refused:
    case WorkloadRows::Save::NotFound:
        break;
    }
    c.err << rows.refusal() << "\n";
    return 1;
}

int addRow(Cli::Context& c)
{
    const NodeArguments node = NodeArguments::from(c.args);
    if (!node.teacher || !node.section || node.faculty)
        throw Cli::UsageError(QStringLiteral("a row is added for a teacher: give --teacher NAME --section S"));
    const Category category = categoryOf(valueOr(c.args, "--category"));
    DataModule data;
    data.connectTo(c.store);
    if (const std::optional<QString> problem = node.problemIn(data)) {
        c.err << *problem << "\n";
        return 1;
    }
    Session session;
    session.selection = node.selection();
    WorkloadRows rows(data, session);
    const CommandArguments& a = c.args;
    if (category == Category::Theory) {
        EntryRows::Theory row{!a.has(u"--not-arranged"),
                              !a.has(u"--no-reports"),
                              valueOr(a, "--students", QStringLiteral("本专生")),
                              valueOr(a, "--class"),
                              valueOr(a, "--r1", QStringLiteral("0")),
                              valueOr(a, "--name"),
                              valueOr(a, "--t1", QStringLiteral("0")),
                              valueOr(a, "--type"),
                              valueOr(a, "--r2", QStringLiteral("0")),
                              valueOr(a, "--t2", QStringLiteral("0")),
                              valueOr(a, "--fzs", QStringLiteral("0"))};
        if (const QString problem = theoryProblem(row); !problem.isEmpty()) {
            c.err << problem << "\n";
            return 1;
        }
        return saved(c, rows, rows.insertTheoryRow(EntryRows::theoryFields(row, node.year), row.shuoming, row.yan),
                     session);
    }
    EntryRows::Practice row{category,
                            !a.has(u"--not-arranged"),
                            valueOr(a, "--class"),
                            valueOr(a, "--r3", QStringLiteral("0")),
                            valueOr(a, "--name"),
                            valueOr(a, "--w", QStringLiteral("0")),
                            valueOr(a, "--type"),
                            valueOr(a, "--students", QStringLiteral("本专生")),
                            valueOr(a, "--r33", QStringLiteral("0")),
                            valueOr(a, "--r32", QStringLiteral("0")),
                            valueOr(a, "--q32", QStringLiteral("0")),
                            valueOr(a, "--q33", QStringLiteral("0"))};
    if (const QString problem = practiceProblem(row); !problem.isEmpty()) {
        c.err << problem << "\n";
        return 1;
    }
    return saved(c, rows, rows.insertPracticeRow(EntryRows::practiceFields(row, node.year)), session);
}

QList<Option> rowOptions()
{
    QList<Option> options = NodeArguments::options();
    options << Option::requiredText("--category", "C") << Option::text("--type", "T") << Option::text("--students", "Y")
            << Option::text("--name", "K") << Option::text("--class", "B");
    for (const char* amount :
         {"--t1", "--r1", "--t2", "--r2", "--fzs", "--w", "--r3", "--r32", "--r33", "--q32", "--q33"})
        options << Option::text(amount, "N");
    options << Option::flag("--not-arranged") << Option::flag("--no-reports");
    return options;
}

} // namespace

Cli::Command rowCommand()
{
    return {.name = QStringLiteral("row"),
            .usage = QStringLiteral(
                "row add --year Y --category C --teacher T --section S --name K "
                "--class B [--type T] [--students Y] [--t1 N] [--r1 N] [--t2 N] [--r2 N] [--fzs N] [--w N] [--r3 N] "
                "[--r32 N] [--r33 N] [--q32 N] [--q33 N] [--not-arranged] [--no-reports]"),
            .summary = QStringLiteral("adds a workload row for a teacher as the entry dialogs save one: their checks, "
                                      "their defaults, the teacher's names as the store has them and the next serial "
                                      "(C is 理论实验, 实习设计, 毕业设计 or 指导硕士; --name is the course or design "
                                      "name, --class the class, --type the course "
                                      "or practice type)"),
            .actions = {{QStringLiteral("add"), {.options = rowOptions()}, addRow}}};
}
