#include "migrate/OldInstallation.h"

#include "store/ProgramError.h"

#include <QDir>
#include <QFileInfo>

OldInstallation::OldInstallation(const QString& dir) : m_dir(dir)
{
    const QFileInfo info(dir);
    if (!info.isDir() || !info.isReadable())
        throw ProgramError(ProgramError::Kind::Io,
                           QStringLiteral("没有原系统的数据目录: %1").arg(QDir::toNativeSeparators(dir)));
    const QDir d(dir);
    for (const QString& name : d.entryList(QDir::Files | QDir::Hidden | QDir::System))
        m_byLowerName[name.toLower()] << d.filePath(name);
}

std::optional<QString> OldInstallation::file(const QString& name) const
{
    const auto found = m_byLowerName.constFind(name.toLower());
    if (found == m_byLowerName.constEnd())
        return std::nullopt;
    if (found->size() > 1) {
        QStringList names;
        for (const QString& path : *found)
            names << QFileInfo(path).fileName();
        throw ProgramError(ProgramError::Kind::DamagedFile,
                           QStringLiteral("原系统的数据目录中有名字只差大小写的几个文件 (%1)，不知道该用哪一个")
                               .arg(names.join(QStringLiteral(", "))));
    }
    return found->first();
}

std::optional<OldInstallation::TableFiles> OldInstallation::find(const QString& name) const
{
    const std::optional<QString> data = file(name + QStringLiteral(".db"));
    if (!data)
        return std::nullopt;
    return TableFiles{*data, file(name + QStringLiteral(".mb")).value_or(QString())};
}
