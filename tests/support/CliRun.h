#pragma once

#include "cli/Cli.h"

#include <QStringList>
#include <QTextStream>

// One workloadctl command line run in-process, with what it printed.
struct CliRun
{
    int status;
    QString out;
    QString err;

    QStringList outLines() const { return out.split(u'\n', Qt::SkipEmptyParts); }
};

inline CliRun runCli(const QStringList& args)
{
    QString out, err;
    QTextStream o(&out), e(&err);
    const int status = Cli().run(args, o, e);
    o.flush();
    e.flush();
    return {status, out, err};
}
