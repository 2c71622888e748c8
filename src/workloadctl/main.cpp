#include "cli/Cli.h"

#include <QCoreApplication>
#include <QGuiApplication>

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
        err << "workloadctl: " << e.message << "\n";
        return 2;
    }
    const Cli cli;
    std::unique_ptr<QCoreApplication> app;
    if (cli.drawsPages(arguments)) {
        // Pages are drawn off screen: no display is needed, only the fonts.
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    const int status = cli.run(arguments, out, err);
    out.flush();
    err.flush();
    return status;
}
