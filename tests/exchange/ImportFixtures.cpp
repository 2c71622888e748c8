#include "ImportFixtures.h"

#include "ExchangeFixtures.h"
#include "exchange/DbaseFile.h"
#include "exchange/ParadoxFile.h"

#include <QDir>

#include <algorithm>
#include <cerrno>

using namespace ExchangeFixtures;

namespace ImportFixtures {

std::vector<QVariantList> withoutRowNumbers(const Database::Result& r)
{
    qsizetype number = -1;
    for (qsizetype i = 0; i < r.columns.size(); ++i)
        if (r.columns[i].name.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0)
            number = i;
    std::vector<QVariantList> rows;
    for (QVariantList row : r.rows) {
        if (number >= 0)
            row.removeAt(number);
        rows.push_back(row);
    }
    return rows;
}

std::vector<QVariantList> dump(TestStore& s)
{
    std::vector<QVariantList> out;
    for (const char* sql : {"select * from gzl order by xh, jiaoshi, nd", "select * from rydm order by rydm",
                            "select * from bmdm order by bmdm", "select * from yuanbu order by mc"}) {
        out.push_back({QString::fromLatin1(sql)});
        for (const QVariantList& row : withoutRowNumbers(s.db().select(QString::fromLatin1(sql))))
            out.push_back(row);
    }
    return out;
}

Imported importFile(TestStore& s, const QString& path, const QDateTime& now)
{
    WorkloadImport importer(s.data());
    importer.setClock([now] { return now; });
    importer.makeCounters();
    WorkloadImport::Outcome outcome = importer.copyToWorkCopy(path);
    if (outcome == WorkloadImport::Outcome::Ready)
        outcome = importer.openWorkCopy();
    if (outcome != WorkloadImport::Outcome::Ready)
        return {outcome, {}};
    return {outcome, importer.run()};
}

QString writeFile(const QTemporaryDir& dir, const std::vector<QVariantList>& rows, const QString& name)
{
    const QString path = dir.filePath(name);
    if (name.endsWith(u"dbf", Qt::CaseInsensitive))
        DbaseFile::write(path, table(rows));
    else
        ParadoxFile::write(path, table(rows));
    return path;
}

QVariantList rowWith(const QString& teacher, const QString& section, const QString& faculty, const QString& year,
                     qint64 xh)
{
    QVariantList r = row(teacher, section, faculty, year);
    set(r, QStringLiteral("xh"), xh);
    return r;
}

QString workDirectory(const TestStore& s)
{
    return s.location().isServer() ? QDir::tempPath() : s.dir();
}

QStringList stagingCopies(const TestStore& s)
{
    return QDir(workDirectory(s)).entryList({QStringLiteral("dbtemp*"), QStringLiteral("temp*")}, QDir::Files);
}

StagingCopy::Writer diskWithRoomFor(long long room, int error)
{
    return [room, error, written = 0LL](int, const char*, long long size) mutable -> long long {
        if (written >= room) {
            errno = error;
            return -1;
        }
        const long long n = std::min(size, room - written);
        written += n;
        return n;
    };
}

} // namespace ImportFixtures
