#pragma once

#include "store/ProgramError.h"

#include <QString>

// A list file that could not be written: the destination and what went wrong. A failed write
// leaves an earlier file at the destination untouched.
class ReportFileError : public ProgramError
{
public:
    ReportFileError(const QString& path, const QString& reason)
        : ProgramError(Kind::Io, message(path, reason)), m_path(path), m_reason(reason)
    {}
    const QString& path() const { return m_path; }
    const QString& reason() const { return m_reason; }
    QString message() const { return text(); }

private:
    static QString message(const QString& path, const QString& reason)
    {
        return QStringLiteral("无法写入文件 %1：%2").arg(path, reason);
    }

    QString m_path;
    QString m_reason;
};
