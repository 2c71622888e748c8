#include "cli/Cli.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    int status = 2;
    try {
        // Decoded from the bytes themselves: the application's own list would turn bytes that
        // are not UTF-8 into other characters without a word.
        status = Cli().run(Cli::decodeArguments(argc, argv), out, err);
    } catch (const Cli::UsageError& e) {
        err << "workloadctl: " << e.message << "\n";
    }
    out.flush();
    err.flush();
    return status;
}
