// Writes an old installation's data directory (its Paradox tables, by pxlib) from the tables of a
// store, for the migration's benchmark: bench_old_installation STOREDIR OLDDIR. The workload rows
// are handed to the writer one at a time.
#include "OldInstallationFixture.h"
#include "store/Database.h"
#include "store/StoreSchema.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        QTextStream(stderr) << "usage: bench_old_installation STOREDIR OLDDIR\n";
        return 2;
    }
    const QString oldDir = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(oldDir);
    auto db = Database::open(QString::fromLocal8Bit(argv[1]));
    const QHash<QString, QString> passwords{{QStringLiteral("001"), QStringLiteral("123456")},
                                            {QStringLiteral("002"), QStringLiteral("123456")}};
    OldInstallationFixture(*db, passwords, {QStringLiteral("gzl")}).write(oldDir);

    QStringList names;
    for (const StoreSchema::ColumnDef& c : StoreSchema::gzlColumns())
        names << QString::fromLatin1(c.name);
    const Database::Result rows = db->select(QStringLiteral("select %1 from gzl").arg(names.join(u',')));
    std::size_t at = 0;
    OldTableWriter::write(QDir(oldDir).filePath(OldInstallationFixture::fileName(QStringLiteral("gzl"))),
                          OldTableWriter::fieldsOf(QStringLiteral("gzl")), [&](QVariantList& row) {
                              if (at == rows.rows.size())
                                  return false;
                              row = rows.rows.row(at++);
                              return true;
                          });
    QTextStream(stdout) << rows.rows.size() << " workload rows written\n";
    return 0;
}
