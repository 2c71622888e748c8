#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTest>

// A file's bytes; empty when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs a tool and returns its standard output; skips the test when the tool is not installed.
#define RUN_TOOL(result, program, ...)                                                                                 \
    do {                                                                                                               \
        if (QStandardPaths::findExecutable(QStringLiteral(program)).isEmpty())                                         \
            QSKIP(program " is not installed (scripts/install-deps.sh installs it)");                                  \
        QProcess process;                                                                                              \
        process.start(QStringLiteral(program), QStringList{__VA_ARGS__});                                              \
        QVERIFY(process.waitForFinished(60000));                                                                       \
        QCOMPARE(process.exitCode(), 0);                                                                               \
        result = process.readAllStandardOutput();                                                                      \
    } while (false)

// The Python that has openpyxl (Debian's python3-openpyxl is for /usr/bin/python3); empty if none.
inline QString pythonWithOpenpyxl()
{
    for (const QString& python : {QStringLiteral("/usr/bin/python3"), QStandardPaths::findExecutable("python3")}) {
        if (python.isEmpty() || !QFile::exists(python))
            continue;
        QProcess process;
        process.start(python, {QStringLiteral("-c"), QStringLiteral("import openpyxl")});
        if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            return python;
    }
    return {};
}
