// Export and import of a large exchange file, in both formats: the export of one year's rows,
// the import into an empty store (every row new) and the same import again (every row replaced).
#include "exchange/WorkloadExport.h"
#include "exchange/WorkloadImport.h"
#include "session/Selection.h"
#include "store/DataModule.h"
#include "store/DemoData.h"
#include "store/StoreSetup.h"
#include "store/Transaction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

namespace {

QTextStream out(stdout);

double timed(const QString& what, double target, const std::function<void()>& step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const bool within = seconds <= target;
    out << qSetFieldWidth(44) << Qt::left << what << qSetFieldWidth(0) << QString::number(seconds, 'f', 2) << " s"
        << "  (target " << target << " s)" << (within ? "" : "  SLOW") << Qt::endl;
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // 5 faculties x 10 sections x 20 teachers x 60 rows = 60,000 rows of one year.
    const int rowsPerTeacher = argc > 1 ? QString::fromLatin1(argv[1]).toInt() / 1000 : 60;
    QTemporaryDir fromDir, toDir, fileDir;
    StoreSetup::createStore(fromDir.path(), false);
    StoreSetup::createStore(toDir.path(), false);

    DataModule from;
    from.connectTo(fromDir.path());
    const DemoData::Options options = DemoData::synthetic(5, 10, 20, rowsPerTeacher, 1);
    {
        Transaction tx(*from.database());
        DemoData::generate(*from.database(), options);
        tx.commit();
    }
    const QString year = options.years.last();

    for (const auto format : {WorkloadExport::Format::Paradox, WorkloadExport::Format::Dbase}) {
        const QString name = WorkloadExport::extension(format);
        const QString base = fileDir.filePath(QStringLiteral("bt"));
        int n = 0;
        WorkloadExport exporter(from);
        QElapsedTimer part;
        QStringList parts;
        const auto lap = [&](const char* what) {
            parts
                << QStringLiteral("%1 %2").arg(QString::fromLatin1(what)).arg(double(part.restart()) / 1000, 0, 'f', 2);
        };
        timed(QStringLiteral("export %1").arg(name), 2.0, [&] {
            part.start();
            n = exporter.selectRows(Selection::year(year));
            lap("select");
            exporter.fillWorkTable(format);
            lap("work table");
            exporter.writeFile(format, base);
            lap("file");
        });
        out << "  " << parts.join(QStringLiteral(", ")) << Qt::endl;
        parts.clear();
        out << "  rows: " << n << Qt::endl;

        DataModule to;
        to.connectTo(toDir.path());
        to.database()->execute(QStringLiteral("delete from gzl"));
        to.database()->execute(QStringLiteral("delete from rydm"));
        to.database()->execute(QStringLiteral("delete from bmdm"));
        to.database()->execute(QStringLiteral("delete from yuanbu"));
        for (const char* pass : {"import %1 as new rows", "import %1 again, replacing"}) {
            WorkloadImport::Counts counts;
            timed(QString::fromLatin1(pass).arg(name), 3.0, [&] {
                part.start();
                WorkloadImport importer(to);
                importer.makeCounters();
                if (importer.copyToWorkCopy(base + name) != WorkloadImport::Outcome::Ready)
                    qFatal("the exported file was refused");
                lap("copy");
                if (importer.openWorkCopy() != WorkloadImport::Outcome::Ready)
                    qFatal("the exported file was refused");
                lap("read and check");
                counts = importer.run();
                lap("passes");
            });
            out << "  " << parts.join(QStringLiteral(", ")) << Qt::endl;
            parts.clear();
            out << "  rows: " << counts.rows << ", teachers created: " << counts.teachers << Qt::endl;
        }
    }
    return 0;
}
