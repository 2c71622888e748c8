#include "OldInstallationFixture.h"

#include "store/Database.h"
#include "store/StoreSchema.h"

#include <QDate>
#include <QDir>
#include <QFile>

extern "C" {
#include <paradox.h>
}

namespace {

QString columnList(const QString& table)
{
    QStringList names;
    for (const StoreSchema::ColumnDef& c : StoreSchema::tableColumns(table))
        names << QString::fromLatin1(c.name);
    return names.join(u',');
}

void writeJunk(const QString& path)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write("not read by anyone");
}

} // namespace

const QStringList& OldInstallationFixture::tables()
{
    static const QStringList names{QStringLiteral("gzl"),    QStringLiteral("rydm"),         QStringLiteral("bmdm"),
                                   QStringLiteral("yuanbu"), QStringLiteral("sysparameter"), QStringLiteral("user1"),
                                   QStringLiteral("niandu"), QStringLiteral("system")};
    return names;
}

QString OldInstallationFixture::fileName(const QString& table)
{
    // A copy from Windows: some names in upper case, some mixed.
    if (table == u"gzl" || table == u"sysparameter")
        return table.toUpper() + QStringLiteral(".DB");
    if (table == u"rydm")
        return QStringLiteral("Rydm.db");
    return table + QStringLiteral(".db");
}

QString OldInstallationFixture::memoName(const QString& table)
{
    return table == u"sysparameter" ? QStringLiteral("sysparameter.mb") : QString();
}

OldInstallationFixture::OldInstallationFixture(Database& db, const QHash<QString, QString>& passwords,
                                               const QStringList& leftOut)
{
    for (const QString& table : tables()) {
        if (leftOut.contains(table))
            continue;
        fields[table] = OldTableWriter::fieldsOf(table);
        const Database::Result r = db.select(QStringLiteral("select %1 from %2").arg(columnList(table), table));
        for (std::size_t i = 0; i < r.rows.size(); ++i)
            rows[table] << r.rows.row(i);
    }
    // The old program's own field types where they differ from the store's.
    auto& parameterFields = fields[QStringLiteral("sysparameter")];
    for (OldTableWriter::Field& f : parameterFields) {
        if (f.name == u"k12")
            f = {f.name, pxfCurrency, 8};
        if (f.name == u"tiaojian")
            f = {f.name, pxfMemoBLOb, 40}; // 30 bytes kept in the record, the rest in the .mb file
        if (f.name == u"k11")
            f = {f.name, pxfFmtMemoBLOb, 15};
    }
    auto& operatorFields = fields[QStringLiteral("user1")];
    operatorFields[1] = {QStringLiteral("password1"), pxfAlpha, 20};
    operatorFields << OldTableWriter::Field{QStringLiteral("rq"), pxfDate, 4};
    for (QVariantList& row : rows[QStringLiteral("user1")]) {
        row[1] = passwords.value(row[0].toString());
        row << QDate(2009, 9, 1);
    }
}

void OldInstallationFixture::write(const QString& dir) const
{
    const QDir d(dir);
    for (const QString& table : tables()) {
        if (!fields.contains(table))
            continue;
        const QString memo = memoName(table);
        OldTableWriter::write(d.filePath(fileName(table)), fields[table], rows[table],
                              memo.isEmpty() ? QString() : d.filePath(memo));
    }
    // What the old program keeps beside its tables, and its work tables: none of it is read.
    writeJunk(d.filePath(QStringLiteral("GZL.PX")));
    writeJunk(d.filePath(QStringLiteral("rydm.VAL")));
    writeJunk(d.filePath(QStringLiteral("gzl.tv")));
    writeJunk(d.filePath(QStringLiteral("gzl_temp.db")));
    writeJunk(d.filePath(QStringLiteral("DBTEMP.DB")));
    writeJunk(d.filePath(QStringLiteral("temp.dbf")));
}
