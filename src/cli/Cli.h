#pragma once

#include "cli/CommandArguments.h"
#include "cli/CommandSyntax.h"
#include "store/ProgramError.h"
#include "store/StoreLocation.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

class DataDirectoryLock;

// workloadctl: the store's commands for administrators and scripts. Links only the core.
class Cli
{
public:
    struct Context
    {
        QString dataDir;       // the data directory of a desktop store; empty with --server
        StoreLocation store;   // the store the command works on
        CommandArguments args; // the command's own, read and checked by its syntax
        QTextStream& out;
        QTextStream& err;
    };

    // A usage error: exit 2 with the message and the usage line.
    class UsageError : public ProgramError
    {
    public:
        explicit UsageError(const QString& message) : ProgramError(Kind::Usage, message) {}
    };

    using Handler = std::function<int(Context&)>;

    // One action of a command ("faculty add"): what it takes after its name, and what it does.
    struct Action
    {
        QString name;
        CommandSyntax syntax;
        Handler run;
    };

    // A command, declared once: its help, what its command line takes, and what it does. A
    // command has either a syntax and a handler, or actions, the first argument naming one.
    struct Command
    {
        QString name;
        QString usage;
        QString summary;
        CommandSyntax syntax = {};
        Handler run = {};
        QList<Action> actions = {};
        // Draws pages with the system's fonts: the process needs a QGuiApplication.
        bool drawsPages = false;
    };

    Cli();

    // Takes the data directory's lock for a command that replaces the store under the program;
    // false, with the refusal said, while the program holds it. `action` names the command.
    static bool holdDataDirectory(Context& c, DataDirectoryLock& lock, const QString& action);
    // The program's arguments (argv without the program name) as text. They must be UTF-8:
    // anything else would name other files and other rows than the ones meant, so the first
    // argument that is not valid UTF-8 is a usage error that names its position.
    static QStringList decodeArguments(int argc, const char* const* argv);
    // Runs one command line (without the program name); returns the exit status.
    int run(const QStringList& arguments, QTextStream& out, QTextStream& err) const;
    // Whether the command a command line names draws pages (see Command::drawsPages).
    bool drawsPages(const QStringList& arguments) const;
    const QList<Command>& commands() const { return m_commands; }

private:
    // Reads and checks a command's own arguments by its declaration: what runs, with what it is given.
    static const Handler& parse(const Command& command, const QStringList& words, CommandArguments& given);
    void printHelp(QTextStream& out) const;
    static void report(const ProgramError& e, const QString& command, const QString& usage, QTextStream& err);
    static constexpr int ConflictAttempts = 3;
    static int runRetryingConflicts(const Handler& handler, const Context& context);

    QList<Command> m_commands;
};

// The commands, one file each.
Cli::Command initCommand();
Cli::Command sqlCommand();
Cli::Command exportCommand();
Cli::Command importCommand();
Cli::Command calcCommand();
Cli::Command backupCommand();
Cli::Command restoreCommand();
Cli::Command reportCommand();
Cli::Command statsCommand();
Cli::Command facultyCommand();
Cli::Command sectionCommand();
Cli::Command teacherCommand();
Cli::Command pushCommand();
Cli::Command rowCommand();
Cli::Command migrateCommand();
