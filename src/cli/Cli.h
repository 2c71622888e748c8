#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

// workloadctl: the store's commands for administrators and scripts. Links only the core.
class Cli
{
public:
    struct Context
    {
        QString dataDir;
        QStringList args; // the command's own arguments
        QTextStream& out;
        QTextStream& err;
    };

    // A usage error: exit 2 with the message and the usage line.
    struct UsageError
    {
        QString message;
    };

    using Handler = std::function<int(Context&)>;

    struct Command
    {
        QString name;
        QString usage;
        QString summary;
        Handler run;
    };

    Cli();
    // Runs one command line (without the program name); returns the exit status.
    int run(const QStringList& arguments, QTextStream& out, QTextStream& err) const;

private:
    void printHelp(QTextStream& out) const;

    QList<Command> m_commands;
};

// The commands, one file each.
Cli::Command initCommand();
Cli::Command sqlCommand();
Cli::Command exportCommand();
Cli::Command importCommand();
Cli::Command calcCommand();
Cli::Command facultyCommand();
Cli::Command sectionCommand();
Cli::Command teacherCommand();
