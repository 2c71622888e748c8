#pragma once

#include "cli/CommandArguments.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <optional>

// What a command, or one action of a command, takes on its command line, declared once with the
// command. Command lines are read and checked by it, so that every command refuses the same
// things in the same words, as usage errors: an option it does not take, an option given twice
// (the last one would otherwise silently win, and the command act on a value its caller may not
// have meant), a missing value, a missing required option, options that exclude each other, and
// arguments too many or too few.
struct CommandSyntax
{
    struct Option
    {
        enum class Kind
        {
            Switch,  // given or not
            Text,    // followed by its value, any text
            FileName // followed by a file's name, which cannot be empty
        };

        QString name;        // "--year"
        QString placeholder; // the value as the usage names it ("Y"); empty for a switch
        Kind kind = Kind::Switch;
        // Must be given, with a value that is not empty.
        bool required = false;

        // Option names and placeholders are ASCII.
        static Option flag(const char* name);
        static Option text(const char* name, const char* placeholder);
        static Option requiredText(const char* name, const char* placeholder);
        static Option fileName(const char* name, const char* placeholder);

        // "--year Y", or "--all" for a switch.
        QString withPlaceholder() const;
    };

    // Options that go together.
    struct Group
    {
        enum class Rule
        {
            AtMostOne,
            ExactlyOne,
            AtLeastOne
        };

        Rule rule = Rule::AtMostOne;
        QStringList options;

        static Group of(Rule rule, std::initializer_list<const char*> options);
    };

    // A command that takes exactly one argument as it is given, also one that begins with "--"
    // (a statement, a file's name), and no options. `what` names it in the refusal.
    struct OneArgument
    {
        QString what; // "the statement"
        bool nonEmpty = false;
    };

    QList<Option> options = {};
    QList<Group> groups = {};
    // The positional arguments, as the usage names them ("CODE", "NAME").
    QStringList arguments = {};
    std::optional<OneArgument> oneArgument = std::nullopt;

    static CommandSyntax takingOneArgument(const char* what, bool nonEmpty = false);
    // The options of several actions of one command, each once: what a command line of any of
    // them may hold before it is known which action it names.
    static CommandSyntax optionsOf(const QList<const CommandSyntax*>& syntaxes);

    // Reads a command line: options it does not take, options given twice and missing values are
    // refused; every other word is an argument.
    CommandArguments read(const QStringList& words) const;
    // Checks what was read against the rest of the declaration: the arguments, the options of
    // another action, the required options and the groups. `action` names the action whose
    // syntax this is; the refusals then say what it wants.
    void check(const CommandArguments& given, const QString& action = {}) const;
    CommandArguments parse(const QStringList& words) const;

    const Option* option(QStringView name) const;
    // The required options and the arguments, as the usage shows them ("--faculty F CODE NAME"):
    // what a refusal of an action says that it wants.
    QString required() const;

private:
    void checkArguments(const CommandArguments& given, const QString& action) const;
    void checkOptions(const CommandArguments& given, const QString& action) const;
    void checkGroup(const Group& group, const CommandArguments& given, const QString& action) const;
};
