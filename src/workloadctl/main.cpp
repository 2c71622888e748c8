#include "cli/Cli.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <memory>

int main(int argc, char** argv)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments;
    try {
        // Decoded from the bytes themselves: the application's own list would turn bytes that
        // are not UTF-8 into other characters without a word.
        arguments = Cli::decodeArguments(argc, argv);
    } catch (const Cli::UsageError& e) {
        err << "workloadctl: " << e.text() << "\n";
        return e.exitCode();
    }
    const Cli cli;
    QTemporaryDir runtimeDir; // outlives the application
    std::unique_ptr<QCoreApplication> app;
    if (cli.drawsPages(arguments)) {
        // Pages are drawn off screen: no display is needed, only the fonts.
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // Outside a desktop session (cron, ssh, a service) there is no runtime directory; the
        // graphical application would warn about it on every run and make one under /tmp. A
        // private one for this run, removed at exit, serves as well.
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeDir.isValid())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    const int status = cli.run(arguments, out, err);
    out.flush();
    err.flush();
    return status;
}
