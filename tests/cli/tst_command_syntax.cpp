// Every command's command line is read and checked by the syntax the command declares: the same
// refusals in the same words for every command, each with the command's usage line, and the same
// help.
#include "cli/CommandSyntax.h"
#include "store/Database.h"
#include "support/CliRun.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

using Option = CommandSyntax::Option;
using Group = CommandSyntax::Group;

// A syntax with one option of each kind and a group of each rule.
CommandSyntax sample()
{
    return {.options = {Option::requiredText("--year", "Y"), Option::flag("--all"), Option::fileName("--pdf", "FILE"),
                        Option::fileName("--csv", "FILE"), Option::flag("--demo"), Option::text("--synthetic", "N"),
                        Option::text("--code", "NEW"), Option::text("--name", "NEW")},
            .groups = {Group::of(Group::Rule::ExactlyOne, {"--pdf", "--csv"}),
                       Group::of(Group::Rule::AtMostOne, {"--demo", "--synthetic"})}};
}

QString usageOf(const QString& command)
{
    const Cli cli;
    for (const Cli::Command& c : cli.commands())
        if (c.name == command)
            return c.usage;
    return {};
}

// Every option a command takes, with its value's placeholder.
QStringList declaredOptions(const Cli::Command& command)
{
    QList<const CommandSyntax*> syntaxes{&command.syntax};
    for (const Cli::Action& action : command.actions)
        syntaxes << &action.syntax;
    QStringList out;
    for (const Option& o : CommandSyntax::optionsOf(syntaxes).options)
        out << o.withPlaceholder();
    return out;
}

} // namespace

class TestCommandSyntax : public QObject
{
    Q_OBJECT
private slots:
    void refusals_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("option given twice")
            << QStringList{"--year", "a", "--pdf", "f", "--year", "b"} << "--year given twice";
        QTest::newRow("switch given twice")
            << QStringList{"--all", "--year", "a", "--all", "--pdf", "f"} << "--all given twice";
        QTest::newRow("repeat with the same value")
            << QStringList{"--year", "a", "--year", "a", "--pdf", "f"} << "--year given twice";
        QTest::newRow("unknown option") << QStringList{"--year", "a", "--fast", "--pdf", "f"}
                                        << "unknown option --fast";
        QTest::newRow("option with its value joined")
            << QStringList{"--year=a", "--pdf", "f"} << "unknown option --year=a";
        QTest::newRow("argument where none is taken")
            << QStringList{"--year", "a", "x", "--pdf", "f"} << "unexpected argument x";
        QTest::newRow("missing value") << QStringList{"--pdf", "f", "--year"} << "--year needs a value";
        QTest::newRow("missing file name") << QStringList{"--year", "a", "--pdf"} << "--pdf needs a file name";
        QTest::newRow("empty file name") << QStringList{"--year", "a", "--pdf", ""} << "--pdf needs a file name";
        QTest::newRow("required option missing") << QStringList{"--pdf", "f"} << "--year is required";
        QTest::newRow("required option empty") << QStringList{"--year", "", "--pdf", "f"} << "--year is required";
        QTest::newRow("two of exactly one")
            << QStringList{"--year", "a", "--pdf", "f", "--csv", "g"} << "give one of --pdf, --csv";
        QTest::newRow("none of exactly one") << QStringList{"--year", "a"} << "give one of --pdf FILE, --csv FILE";
        QTest::newRow("two of at most one") << QStringList{"--year", "a", "--pdf", "f", "--synthetic", "1", "--demo"}
                                            << "--demo and --synthetic exclude each other";
        // A line with several faults: how it is read comes before what it lacks.
        QTest::newRow("repeat before missing") << QStringList{"--all", "--all"} << "--all given twice";
    }
    void refusals()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, refusal);
        try {
            sample().parse(words);
            QFAIL("taken");
        } catch (const Cli::UsageError& e) {
            QCOMPARE(e.text(), refusal);
            QCOMPARE(e.exitCode(), 2);
        }
    }

    void takes()
    {
        // An option's value is the next word, also one that looks like an option.
        const CommandArguments given =
            sample().parse({"--name", "", "--pdf", "--csv", "--year", "--all", "--demo", "--code", "-x"});
        const QString none = QStringLiteral("(none)");
        QCOMPARE(given.value(u"--year").value_or(none), QStringLiteral("--all"));
        QCOMPARE(given.value(u"--pdf").value_or(none), QStringLiteral("--csv"));
        QCOMPARE(given.value(u"--name").value_or(none), QString());
        QCOMPARE(given.value(u"--code").value_or(none), QStringLiteral("-x"));
        QCOMPARE(given.value(u"--demo").value_or(none), QString());
        QCOMPARE(given.value(u"--synthetic").value_or(none), none);
        QVERIFY(given.has(u"--demo"));
        QVERIFY(!given.has(u"--all"));
        QVERIFY(!given.has(u"--csv"));
        QCOMPARE(given.optionNames(), (QStringList{"--name", "--pdf", "--year", "--demo", "--code"}));
        QCOMPARE(given.arguments(), QStringList());
    }

    // A command taking one argument takes it as it is, also when it begins with "--".
    void oneArgumentAsGiven_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<bool>("taken");
        QTest::newRow("one") << QStringList{"select 1"} << true;
        QTest::newRow("beginning with --") << QStringList{"--bogus"} << true;
        QTest::newRow("empty, where allowed") << QStringList{""} << true;
        QTest::newRow("none") << QStringList{} << false;
        QTest::newRow("two") << QStringList{"a", "b"} << false;
    }
    void oneArgumentAsGiven()
    {
        QFETCH(QStringList, words);
        QFETCH(bool, taken);
        const CommandSyntax syntax = CommandSyntax::takingOneArgument("the statement");
        try {
            QCOMPARE(syntax.parse(words).arguments(), words);
            QVERIFY(taken);
        } catch (const Cli::UsageError& e) {
            QVERIFY(!taken);
            QCOMPARE(e.text(), QStringLiteral("give the statement as one argument"));
        }
    }

    // The refusals of real command lines: the first line says what is wrong, the second shows the
    // command's usage; nothing is done, not even a store opened.
    void commandLinesRefused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("refusal");
        const QString year = QStringLiteral("2026-2027学年");
        QTest::newRow("calc: unknown option")
            << QStringList{"calc", "--year", year, "--all", "--fast"} << "unknown option --fast";
        QTest::newRow("calc: argument") << QStringList{"calc", "--year", year, "--all", "x"} << "unexpected argument x";
        QTest::newRow("calc: missing value") << QStringList{"calc", "--all", "--year"} << "--year needs a value";
        QTest::newRow("calc: no year") << QStringList{"calc", "--all"} << "--year is required";
        QTest::newRow("export: unknown option")
            << QStringList{"export", "--year", year, "--format", "dbf", "--to", "x", "--bogus"}
            << "unknown option --bogus";
        QTest::newRow("export: no --to") << QStringList{"export", "--year", year, "--format", "dbf"}
                                         << "--to is required";
        QTest::newRow("export: format") << QStringList{"export", "--year", year, "--format", "xls", "--to", "x"}
                                        << "--format must be dbt or dbf";
        QTest::newRow("init: unknown option") << QStringList{"init", "--bogus"} << "unknown option --bogus";
        QTest::newRow("init: --demo and --synthetic")
            << QStringList{"init", "--synthetic", "1,1,1,1,1", "--demo"} << "--demo and --synthetic exclude each other";
        QTest::newRow("init: synthetic sizes")
            << QStringList{"init", "--synthetic", "1,2,x,4,5"} << "--synthetic wants five positive whole numbers";
        QTest::newRow("report: empty file name")
            << QStringList{"report", "--year", year, "--section", "S", "--csv", ""} << "--csv needs a file name";
        QTest::newRow("report: two outputs")
            << QStringList{"report", "--year", year, "--section", "S", "--csv", "a", "--pdf", "b"}
            << "give one of --pdf, --xlsx, --csv";
        QTest::newRow("sql: two arguments")
            << QStringList{"sql", "select 1", "select 2"} << "give the statement as one argument";
        QTest::newRow("import: none") << QStringList{"import"} << "give the exchange file as one argument";
        QTest::newRow("backup: empty name") << QStringList{"backup", ""} << "give the file as one argument";
        QTest::newRow("restore: two") << QStringList{"restore", "a", "b"} << "give the file as one argument";
        QTest::newRow("faculty: no action") << QStringList{"faculty"} << "give one of list, add, rename, delete";
        QTest::newRow("faculty: unknown action") << QStringList{"faculty", "hire", "x"} << "unknown action hire";
        QTest::newRow("faculty: action without arguments given one")
            << QStringList{"faculty", "list", "x"} << "list takes no arguments";
        QTest::newRow("faculty: too few") << QStringList{"faculty", "rename", "a"} << "rename wants OLD NEW";
        QTest::newRow("faculty: unknown option")
            << QStringList{"faculty", "list", "--bogus", "x"} << "unknown option --bogus";
        QTest::newRow("section: options before the action")
            << QStringList{"section", "--faculty", "F", "list", "x"} << "list takes no arguments";
        QTest::newRow("section: required option missing")
            << QStringList{"section", "add", "S06", "x"} << "add wants --faculty F";
        QTest::newRow("section: arguments wanted with the required option")
            << QStringList{"section", "add", "--faculty", "F", "S06"} << "add wants --faculty F CODE NAME";
        QTest::newRow("section: option of another action")
            << QStringList{"section", "list", "--name", "x"} << "list takes no --name";
        QTest::newRow("section: no change")
            << QStringList{"section", "edit", "S01"} << "edit wants at least one of --code, --name";
        QTest::newRow("teacher: option of another action")
            << QStringList{"teacher", "delete", "T02", "--title", "x"} << "delete takes no --title";
        QTest::newRow("teacher: no change") << QStringList{"teacher", "edit", "T02"}
                                            << "edit wants at least one of --code, --name, --title, --nature, "
                                               "--post";
        QTest::newRow("teacher: missing value")
            << QStringList{"teacher", "edit", "T02", "--name"} << "--name needs a value";
        QTest::newRow("teacher: given twice")
            << QStringList{"teacher", "edit", "T02", "--post", "a", "--post", "b"} << "--post given twice";
    }
    void commandLinesRefused()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, refusal);
        QTemporaryDir dir;
        const CliRun r = runCli(QStringList{QStringLiteral("--dir"), dir.path()} + args);
        QCOMPARE(r.status, 2);
        QCOMPARE(r.out, QString());
        QCOMPARE(r.err, QStringLiteral("workloadctl %1: %2\nusage: workloadctl [--dir DIR] %3\n")
                            .arg(args.first(), refusal, usageOf(args.first())));
        QVERIFY(!Database::exists(dir.path()));
    }

    // A statement beginning with a comment is one argument like any other.
    void sqlTakesAStatementBeginningWithDashes()
    {
        QTemporaryDir dir;
        QCOMPARE(runCli({QStringLiteral("--dir"), dir.path(), QStringLiteral("init")}).status, 0);
        const CliRun r = runCli({QStringLiteral("--dir"), dir.path(), QStringLiteral("sql"),
                                 QStringLiteral("-- how many\nselect count(*) as n from yuanbu")});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("n\n0\n"));
    }

    // "COMMAND --help", wherever --help stands, prints the usage line and the summary.
    void helpOfEachCommand_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("usage");
        QTest::newRow("init") << QStringList{"init", "--help"} << "init [--demo | --synthetic F,S,T,R,Y] [--force]";
        QTest::newRow("sql") << QStringList{"sql", "--help"} << "sql STATEMENT";
        QTest::newRow("export") << QStringList{"export", "--year", "x", "--help"}
                                << "export --year Y [--faculty F | --section S | --teacher T --section S] --format "
                                   "dbt|dbf --to BASE";
        QTest::newRow("import") << QStringList{"import", "--help"} << "import FILE";
        QTest::newRow("calc") << QStringList{"calc", "--help", "--fast"}
                              << "calc --year Y (--faculty F | --section S | --teacher T --section S | --all) "
                                 "[--trace]";
        QTest::newRow("faculty") << QStringList{"faculty", "--help"}
                                 << "faculty list | add NAME | rename OLD NEW | delete NAME";
        QTest::newRow("section") << QStringList{"section", "add", "--help"}
                                 << "section list [--faculty F] | add --faculty F CODE NAME | edit CODE [--code NEW] "
                                    "[--name NEW] | delete CODE";
        QTest::newRow("teacher") << QStringList{"teacher", "--help"}
                                 << "teacher list [--section CODE] | add --section CODE CODE NAME [--title T] "
                                    "[--nature N] [--post P] | edit CODE [--code NEW] [--name NEW] [--title T] "
                                    "[--nature N] [--post P] | delete CODE";
        QTest::newRow("backup") << QStringList{"backup", "--help"} << "backup FILE";
        QTest::newRow("restore") << QStringList{"restore", "--help"} << "restore FILE";
        QTest::newRow("report") << QStringList{"report", "--help"}
                                << "report --year Y (--faculty F | --section S) (--pdf FILE | --xlsx FILE | --csv "
                                   "FILE)";
    }
    void helpOfEachCommand()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, usage);
        QTemporaryDir dir;
        const CliRun r = runCli(QStringList{QStringLiteral("--dir"), dir.path()} + args);
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());
        const QStringList lines = r.out.split(u'\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("usage: workloadctl [--dir DIR] ") + usage);
        QVERIFY(lines[1].size() > 40);
        QCOMPARE(lines[2], QString());
        QVERIFY(!Database::exists(dir.path()));
    }

    // The usage line shows what the declaration takes: every option it names is taken, every
    // option taken is named, and each action is shown with what it requires.
    void usageShowsTheDeclaration_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("unshown"); // taken only to be refused in the command's own words
        const Cli cli;
        for (const Cli::Command& c : cli.commands())
            QTest::newRow(qPrintable(c.name))
                << c.name << (c.name == u"report" ? QStringList{QStringLiteral("--teacher T")} : QStringList());
    }
    void usageShowsTheDeclaration()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, unshown);
        const Cli cli;
        const auto it = std::find_if(cli.commands().cbegin(), cli.commands().cend(),
                                     [&](const Cli::Command& c) { return c.name == command; });
        QVERIFY(it != cli.commands().cend());
        // Spaces for the brackets of alternatives and optional parts; "dbt|dbf" stays one placeholder.
        QString usage = u' ' + it->usage + u' ';
        for (const QChar bracket : {u'(', u')', u'[', u']'})
            usage.replace(bracket, u' ');
        const QStringList declared = declaredOptions(*it);
        for (const QString& option : declared)
            QVERIFY2(usage.contains(u' ' + option + u' ') != unshown.contains(option), qPrintable(option));
        static const QRegularExpression optionWord(QStringLiteral("--[a-z][a-z-]*"));
        for (const QRegularExpressionMatch& m : optionWord.globalMatch(usage)) {
            if (m.captured() == u"--dir")
                continue;
            QVERIFY2(it->syntax.option(m.captured()) ||
                         std::any_of(it->actions.cbegin(), it->actions.cend(),
                                     [&](const Cli::Action& a) { return a.syntax.option(m.captured()); }),
                     qPrintable(m.captured()));
        }
        for (const Cli::Action& action : it->actions) {
            const QString shown = (action.name + u' ' + action.syntax.required()).trimmed();
            QVERIFY2(usage.contains(u' ' + shown + u' '), qPrintable(shown));
        }
        QCOMPARE(it->actions.isEmpty(), bool(it->run));
    }
};

QTEST_GUILESS_MAIN(TestCommandSyntax)
#include "tst_command_syntax.moc"
