#include "store/StoreFiles.h"

#include "store/StoreError.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace StoreFiles {

void replaceFile(const QString& from, const QString& to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw StoreError(
            QStringLiteral("不能把 %1 改名为 %2: %3").arg(from, to, QString::fromLocal8Bit(strerror(errno))), {},
            StoreError::Kind::Storage);
}

} // namespace StoreFiles
