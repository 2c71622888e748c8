#include "cli/Cli.h"
#include "cli/CommandOptions.h"
#include "cli/NodeArguments.h"
#include "masterdata/Organisation.h"
#include "reports/TeacherListReport.h"
#include "reports/TeacherListSource.h"
#include "store/DataModule.h"
#include "store/Database.h"

#include <QGuiApplication>

namespace {

struct Output
{
    QString format; // "pdf", "xlsx" or "csv"
    QString path;
};

Output takeOutput(const QStringList& args)
{
    Output output;
    CommandOptions given;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a != u"--pdf" && a != u"--xlsx" && a != u"--csv")
            throw Cli::UsageError{QStringLiteral("unknown argument %1").arg(a)};
        given.note(a);
        if (!output.format.isEmpty())
            throw Cli::UsageError{QStringLiteral("give one of --pdf, --xlsx, --csv")};
        if (i + 1 >= args.size() || args[i + 1].isEmpty())
            throw Cli::UsageError{QStringLiteral("%1 needs a file name").arg(a)};
        output = {a.mid(2), args[++i]};
    }
    if (output.format.isEmpty())
        throw Cli::UsageError{QStringLiteral("give one of --pdf FILE, --xlsx FILE, --csv FILE")};
    return output;
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
    QStringList args = c.args;
    const NodeArguments node = NodeArguments::take(args);
    if (node.hasTeacher || node.hasFaculty == node.hasSection)
        throw Cli::UsageError{QStringLiteral("give exactly one of --faculty, --section")};
    const Output output = takeOutput(args);
    if (output.format == u"pdf" && !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        c.err << "writing a PDF needs the fonts of a graphical application\n";
        return 1;
    }

    DataModule data;
    data.connectTo(c.dataDir);
    if (const QString problem = node.problemIn(*data.database(), NodeArguments::YearUse::Title); !problem.isEmpty()) {
        c.err << problem << "\n";
        return 1;
    }
    // The teacher grid's list for the node: its statement, its order, its title.
    Organisation organisation(data);
    const Selection selection = node.selection();
    const int teachers = node.hasFaculty ? organisation.listFacultyTeachers(node.faculty)
                                         : organisation.listSectionTeachers(node.section);
    const QString nodeName =
        node.hasFaculty ? QStringLiteral("faculty ") + node.faculty : QStringLiteral("section ") + node.section;
    if (teachers == 0) {
        c.err << nodeName << " has no teachers: nothing written\n";
        return 1;
    }
    const TeacherListReport report(TeacherListSource::read(*data.dtrydm, selection.YearTitle));
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
    return {QStringLiteral("report"),
            QStringLiteral("report --year Y (--faculty F | --section S) (--pdf FILE | --xlsx FILE | --csv FILE)"),
            QStringLiteral("writes the teacher workload list of a faculty or a section, the list and title the "
                           "program's teacher grid prints at that node, as a PDF file (the printed pages), an Excel "
                           "workbook or a CSV file (UTF-8); an unknown year, faculty or section, or a node without "
                           "teachers, writes nothing (exit 1)"),
            runReport, true};
}
