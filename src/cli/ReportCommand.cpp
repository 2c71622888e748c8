#include "cli/Cli.h"
#include "cli/NodeArguments.h"
#include "masterdata/Organisation.h"
#include "reports/ReportFileError.h"
#include "reports/TeacherListReport.h"
#include "reports/TeacherListSource.h"
#include "store/DataModule.h"
#include "store/Sql.h"

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
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a != u"--pdf" && a != u"--xlsx" && a != u"--csv")
            throw Cli::UsageError{QStringLiteral("unknown argument %1").arg(a)};
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

// Whether a statement yields a row, asked through the general holder.
bool exists(DataModule& data, const QString& statement)
{
    data.xssj2->setStatement({statement});
    return data.xssj2->hasRows();
}

// The node's name as the store spells it, or an error naming what is missing.
QString missingNode(DataModule& data, const NodeArguments& node)
{
    if (!exists(data, QStringLiteral("select nd from niandu where nd=") + Sql::quote(node.year)))
        return QStringLiteral("year %1 is not in the store").arg(node.year);
    if (node.hasFaculty && !exists(data, QStringLiteral("select mc from yuanbu where mc=") + Sql::quote(node.faculty)))
        return QStringLiteral("faculty %1 is not in the store").arg(node.faculty);
    if (node.hasSection &&
        !exists(data, QStringLiteral("select bmmc from bmdm where bmmc=") + Sql::quote(node.section)))
        return QStringLiteral("section %1 is not in the store").arg(node.section);
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
    if (const QString missing = missingNode(data, node); !missing.isEmpty()) {
        c.err << missing << "\n";
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
    try {
        write(report, output);
    } catch (const ReportFileError& e) {
        c.err << e.message() << "\n";
        return 1;
    }
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
