#include "cli/Cli.h"
#include "cli/NodeArguments.h"
#include "masterdata/Organisation.h"
#include "reports/TeacherListReport.h"
#include "reports/TeacherListSource.h"
#include "store/DataModule.h"

#include <QGuiApplication>

namespace {

struct Output
{
    QString format; // "pdf", "xlsx" or "csv"
    QString path;
};

Output outputOf(const CommandArguments& given)
{
    for (const char* format : {"pdf", "xlsx", "csv"}) {
        const QString name = QString::fromLatin1(format);
        if (const std::optional<QString> path = given.value(QStringLiteral("--") + name))
            return {name, *path};
    }
    return {};
}

void write(const TeacherListReport& report, const Output& output)
{
    if (output.format == u"pdf")
        report.writePdf(output.path);
    else if (output.format == u"xlsx")
        report.writeXlsx(output.path);
    else
        report.writeCsv(output.path);
}

int runReport(Cli::Context& c)
{
    const NodeArguments node = NodeArguments::from(c.args);
    if (node.teacher || node.faculty.has_value() == node.section.has_value())
        throw Cli::UsageError{QStringLiteral("give exactly one of --faculty, --section")};
    const Output output = outputOf(c.args);
    if (output.format == u"pdf" && !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        c.err << "writing a PDF needs the fonts of a graphical application\n";
        return 1;
    }

    DataModule data;
    data.connectTo(c.store);
    if (const std::optional<QString> problem = node.problemIn(data, NodeArguments::YearUse::Title)) {
        c.err << *problem << "\n";
        return 1;
    }
    // The teacher grid's list for the node: its statement, its order, its title.
    Organisation organisation(data);
    const Selection selection = node.selection();
    const int teachers = node.faculty ? organisation.listFacultyTeachers(*node.faculty)
                                      : organisation.listSectionTeachers(*node.section);
    const QString nodeName =
        node.faculty ? QStringLiteral("faculty ") + *node.faculty : QStringLiteral("section ") + *node.section;
    if (teachers == 0) {
        c.err << nodeName << " has no teachers: nothing written\n";
        return 1;
    }
    const TeacherListReport report(TeacherListSource::read(*data.dtrydm, selection.YearTitle()));
    write(report, output);
    c.out << "wrote " << output.path << ": " << report.title() << ", " << teachers
          << (teachers == 1 ? " teacher" : " teachers");
    if (output.format == u"pdf")
        c.out << ", " << report.pageCount() << (report.pageCount() == 1 ? " page" : " pages");
    c.out << "\n";
    return 0;
}

} // namespace

Cli::Command reportCommand()
{
    using Option = CommandSyntax::Option;
    using Group = CommandSyntax::Group;
    // --teacher is taken to be refused in the report's own words: the list is of a faculty or a section.
    return {.name = QStringLiteral("report"),
            .usage =
                QStringLiteral("report --year Y (--faculty F | --section S) (--pdf FILE | --xlsx FILE | --csv FILE)"),
            .summary = QStringLiteral("writes the teacher workload list of a faculty or a section, the list and title "
                                      "the program's teacher grid prints at that node, as a PDF file (the printed "
                                      "pages), an Excel workbook or a CSV file (UTF-8); an unknown year, faculty or "
                                      "section, or a node without teachers, writes nothing (exit 1)"),
            .syntax = {.options = NodeArguments::options()
                                  << Option::fileName("--pdf", "FILE") << Option::fileName("--xlsx", "FILE")
                                  << Option::fileName("--csv", "FILE"),
                       .groups = {Group::of(Group::Rule::ExactlyOne, {"--pdf", "--xlsx", "--csv"})}},
            .run = runReport,
            .drawsPages = true};
}
