#include "store/Database.h"

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
