#include "store/Database.h"
#include "store/PreparedStatement.h"

#include "store/PostgresDatabase.h"
#include "store/SqliteDatabase.h"

#include <QDir>
#include <QFileInfo>

QString Database::storePath(const QString& dataDir)
{
    return QDir(dataDir).filePath(QString::fromLatin1(FileName));
}

bool Database::exists(const QString& dataDir)
{
    return QFileInfo(storePath(dataDir)).isFile();
}

std::unique_ptr<Database> Database::open(const QString& dataDir)
{
    return SqliteDatabase::open(dataDir);
}

std::unique_ptr<Database> Database::create(const QString& dataDir)
{
    return SqliteDatabase::create(dataDir);
}

std::unique_ptr<Database> Database::open(const StoreLocation& location)
{
    if (location.isServer())
        return PostgresDatabase::open(location.server);
    return SqliteDatabase::open(location.dataDir);
}

std::unique_ptr<Database> Database::create(const StoreLocation& location, bool replace)
{
    if (location.isServer())
        return PostgresDatabase::create(location.server, replace);
    return SqliteDatabase::create(location.dataDir);
}

QString StoreLocation::display() const
{
    return isServer() ? PostgresDatabase::displayName(server) : dataDir;
}

QString StoreLocation::withoutPassword() const
{
    return isServer() ? PostgresDatabase::withoutPassword(server) : dataDir;
}

QString Database::appendStatement(const QString& table, const QStringList& columns)
{
    QStringList marks;
    for (const QString& c : columns)
        marks << u':' + c;
    return QStringLiteral("insert into %1 (%2) values (%3)").arg(table, columns.join(u','), marks.join(u','));
}

std::unique_ptr<PreparedStatement> Database::prepareAppend(const QString& table, const QStringList& columns)
{
    return prepare(appendStatement(table, columns));
}
