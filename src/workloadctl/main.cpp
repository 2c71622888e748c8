#include "cli/Cli.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
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
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = cli.run(app->arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return status;
}
