#include "cli/Cli.h"

#include "session/DataDirectoryLock.h"
#include "store/Database.h"
#include "store/Leftovers.h"
#include "store/StoreError.h"
#include "store/StoreRecovery.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QThread>

#include <optional>

namespace {

// Printable ASCII as it is, every other byte as \xHH.
QString escapedBytes(const QByteArray& bytes)
{
    QString out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7f && b != '\\')
            out += QLatin1Char(c);
        else
            out += QString::asprintf("\\x%02X", unsigned(b));
    }
    return out;
}

// Before a command works on a data directory, what killed commands left there is put right: a
// restore is completed or undone while no program holds the directory (the program does it
// itself when it starts), and the temporaries of ended commands go.
void finishInterruptedWork(Cli::Context& c)
{
    if (!QFileInfo(c.dataDir).isDir())
        return;
    DataDirectoryLock lock(c.dataDir);
    if (!StoreRecovery::restorePending(c.dataDir) || !lock.tryLock()) {
        Leftovers::removeDead(c.dataDir);
        return;
    }
    const StoreRecovery::Outcome outcome = StoreRecovery::recover(c.dataDir);
    for (const StoreRecovery::FinishedRestore& restore : outcome.finished) {
        c.err << "workloadctl: completed the interrupted restore of " << QDir::toNativeSeparators(restore.source);
        if (!restore.kept.isEmpty())
            c.err << "; the replaced store is kept as " << QDir::toNativeSeparators(restore.kept);
        c.err << "\n";
    }
    if (outcome.undone > 0)
        c.err << "workloadctl: removed an interrupted restore that had not replaced the store\n";
}

} // namespace

QStringList Cli::decodeArguments(int argc, const char* const* argv)
{
    QStringList out;
    for (int i = 1; i < argc; ++i) {
        const QByteArray bytes(argv[i]);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder.decode(bytes);
        // Invalid bytes come out as replacement characters: the text no longer gives the bytes.
        if (decoder.hasError() || text.toUtf8() != bytes)
            throw UsageError{QStringLiteral("argument %1 is not valid UTF-8: \"%2\" (give names and file names in "
                                            "UTF-8)")
                                 .arg(i)
                                 .arg(escapedBytes(bytes))};
        out << text;
    }
    return out;
}

const Cli::Handler& Cli::parse(const Command& command, const QStringList& words, CommandArguments& given)
{
    if (command.actions.isEmpty()) {
        given = command.syntax.parse(words);
        return command.run;
    }
    // Options may stand before the action's name: the words are read by the options of every
    // action, then checked by the syntax of the one they name.
    QList<const CommandSyntax*> syntaxes;
    QStringList names;
    for (const Action& action : command.actions) {
        syntaxes << &action.syntax;
        names << action.name;
    }
    given = CommandSyntax::optionsOf(syntaxes).read(words);
    given.takeAction();
    if (given.action().isEmpty())
        throw UsageError{QStringLiteral("give one of ") + names.join(QStringLiteral(", "))};
    for (const Action& action : command.actions) {
        if (action.name == given.action()) {
            action.syntax.check(given, action.name);
            return action.run;
        }
    }
    throw UsageError{QStringLiteral("unknown action %1").arg(given.action())};
}

Cli::Cli()
{
    m_commands << initCommand() << sqlCommand();
    m_commands << exportCommand() << importCommand();
    m_commands << calcCommand();
    m_commands << facultyCommand() << sectionCommand() << teacherCommand();
    m_commands << backupCommand() << restoreCommand() << pushCommand();
    m_commands << rowCommand() << migrateCommand();
    m_commands << reportCommand() << statsCommand();
}

bool Cli::drawsPages(const QStringList& arguments) const
{
    QStringList args = arguments;
    while (!args.isEmpty() && args.first().startsWith(u"--"))
        if (const QString option = args.takeFirst(); (option == u"--dir" || option == u"--server") && !args.isEmpty())
            args.removeFirst();
    for (const Command& c : m_commands)
        if (!args.isEmpty() && c.name == args.first())
            return c.drawsPages;
    return false;
}

void Cli::printHelp(QTextStream& out) const
{
    out << "usage: workloadctl [--dir DIR | --server CONNINFO] COMMAND [ARGS]\n\n"
        << "DIR is the data directory holding workload.sqlite3 (default: the current directory).\n"
        << "CONNINFO names a store on a PostgreSQL server, as libpq takes it: postgresql://user@host/db or\n"
        << "\"host=... dbname=...\" (PGHOST, PGUSER, ~/.pgpass and the like are honoured).\n\n"
        << "commands:\n";
    for (const Command& c : m_commands)
        out << "  " << c.usage << "\n      " << c.summary << "\n";
}

// What a command that failed says on stderr: a usage error with the command's usage line; the
// store's own text with the statement it refused; the busy store's wait; anything else as it is.
void Cli::report(const ProgramError& e, const QString& command, const QString& usage, QTextStream& err)
{
    if (e.kind() == ProgramError::Kind::Usage) {
        err << "workloadctl " << command << ": " << e.text() << "\nusage: workloadctl [--dir DIR | --server CONNINFO] "
            << usage << "\n";
        return;
    }
    if (e.kind() == ProgramError::Kind::Busy)
        err << QStringLiteral("数据库正被其他程序使用，等待 %1 秒后放弃。").arg(Database::BusyWaitMs / 1000) << "\n";
    err << e.text() << "\n";
    if (const auto* store = dynamic_cast<const StoreError*>(&e); store && !store->statement().isEmpty())
        err << store->statement() << "\n";
}

namespace {

// The options before the command: --dir DIR or --server CONNINFO (each as "--x V" or "--x=V"),
// at most once each and not both. Throws the usage error.
struct GlobalOptions
{
    std::optional<QString> dataDir;
    std::optional<QString> server;
};

std::optional<QString> optionValue(const QString& option, const QString& name, QStringList& args)
{
    if (option == name) {
        if (args.isEmpty())
            throw Cli::UsageError(QStringLiteral("%1 needs a value").arg(name));
        return args.takeFirst();
    }
    if (option.startsWith(name + u'='))
        return option.mid(name.size() + 1);
    return std::nullopt;
}

GlobalOptions readGlobalOptions(QStringList& args)
{
    GlobalOptions g;
    while (!args.isEmpty() && args.first().startsWith(u"--") && args.first() != u"--help") {
        const QString option = args.takeFirst();
        const std::optional<QString> dir = optionValue(option, QStringLiteral("--dir"), args);
        const std::optional<QString> server =
            dir ? std::nullopt : optionValue(option, QStringLiteral("--server"), args);
        if (!dir && !server)
            throw Cli::UsageError(QStringLiteral("unknown option ") + option);
        std::optional<QString>& slot = dir ? g.dataDir : g.server;
        if (slot)
            throw Cli::UsageError(QStringLiteral("%1 given twice").arg(dir ? u"--dir" : u"--server"));
        slot = dir ? dir : server;
        if (slot->isEmpty())
            throw Cli::UsageError(QStringLiteral("%1 needs a value").arg(dir ? u"--dir" : u"--server"));
    }
    if (g.dataDir && g.server)
        throw Cli::UsageError(QStringLiteral("--dir and --server name two stores: give one of them"));
    return g;
}

} // namespace

// A command whose transaction the server undid for crossing another's is run again, a few times,
// before its refusal is reported; what an undone run printed is not shown.
int Cli::runRetryingConflicts(const Handler& handler, const Context& context)
{
    for (int attempt = 1;; ++attempt) {
        QString printed;
        QString said;
        QTextStream out(&printed);
        QTextStream err(&said);
        Context run{context.dataDir, context.store, context.args, out, err};
        try {
            const int status = handler(run);
            out.flush();
            err.flush();
            context.out << printed;
            context.err << said;
            return status;
        } catch (const StoreError& e) {
            if (!e.isConflict() || attempt == ConflictAttempts)
                throw;
            QThread::msleep(ulong(20 * attempt));
        }
    }
}

int Cli::run(const QStringList& arguments, QTextStream& out, QTextStream& err) const
{
    QStringList args = arguments;
    GlobalOptions options;
    try {
        options = readGlobalOptions(args);
    } catch (const UsageError& e) {
        err << "workloadctl: " << e.text() << "\n";
        printHelp(err);
        return 2;
    }
    if (!args.isEmpty() && args.first() == u"--help") {
        printHelp(out);
        return 0;
    }
    if (args.isEmpty()) {
        printHelp(err);
        return 2;
    }
    const QString name = args.takeFirst();
    for (const Command& c : m_commands) {
        if (c.name != name)
            continue;
        if (args.contains(u"--help")) {
            out << "usage: workloadctl [--dir DIR | --server CONNINFO] " << c.usage << "\n" << c.summary << "\n";
            return 0;
        }
        try {
            // The command line is checked before anything is done.
            const QString dataDir = options.server ? QString() : options.dataDir.value_or(QDir::currentPath());
            Context context{dataDir,
                            options.server ? StoreLocation::onServer(*options.server) : StoreLocation::desktop(dataDir),
                            {},
                            out,
                            err};
            const Handler& handler = parse(c, args, context.args);
            if (!context.store.isServer())
                finishInterruptedWork(context);
            return runRetryingConflicts(handler, context);
        } catch (const ProgramError& e) {
            report(e, name, c.usage, err);
            return e.exitCode();
        }
    }
    err << "workloadctl: unknown command " << name << "\n";
    printHelp(err);
    return 2;
}
