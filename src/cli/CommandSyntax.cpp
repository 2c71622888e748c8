#include "cli/CommandSyntax.h"

#include "cli/Cli.h"

namespace {

[[noreturn]] void refuse(const QString& text)
{
    throw Cli::UsageError{text};
}

// What a refusal says is wanted: by the action, or of the caller when the command has no actions.
QString wants(const QString& action, const QString& what)
{
    return action.isEmpty() ? QStringLiteral("give ") + what : action + QStringLiteral(" wants ") + what;
}

// "A and B", "A, B and C".
QString listed(const QStringList& names)
{
    if (names.size() < 2)
        return names.join(QString());
    return names.first(names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + names.last();
}

// The value that follows the option at words[i]; moves i onto it.
QString valueOf(const CommandSyntax::Option& option, const QStringList& words, qsizetype& i)
{
    const bool fileName = option.kind == CommandSyntax::Option::Kind::FileName;
    if (i + 1 >= words.size() || (fileName && words[i + 1].isEmpty()))
        refuse(
            (fileName ? QStringLiteral("%1 needs a file name") : QStringLiteral("%1 needs a value")).arg(option.name));
    return words[++i];
}

} // namespace

CommandSyntax::Option CommandSyntax::Option::flag(const char* name)
{
    return {QString::fromLatin1(name), QString(), Kind::Switch, false};
}

CommandSyntax::Option CommandSyntax::Option::text(const char* name, const char* placeholder)
{
    return {QString::fromLatin1(name), QString::fromLatin1(placeholder), Kind::Text, false};
}

CommandSyntax::Option CommandSyntax::Option::requiredText(const char* name, const char* placeholder)
{
    return {QString::fromLatin1(name), QString::fromLatin1(placeholder), Kind::Text, true};
}

CommandSyntax::Option CommandSyntax::Option::fileName(const char* name, const char* placeholder)
{
    return {QString::fromLatin1(name), QString::fromLatin1(placeholder), Kind::FileName, false};
}

QString CommandSyntax::Option::withPlaceholder() const
{
    return placeholder.isEmpty() ? name : name + u' ' + placeholder;
}

CommandSyntax::Group CommandSyntax::Group::of(Rule rule, std::initializer_list<const char*> options)
{
    Group group{rule, {}};
    for (const char* name : options)
        group.options << QString::fromLatin1(name);
    return group;
}

CommandSyntax CommandSyntax::takingOneArgument(const char* what, bool nonEmpty)
{
    CommandSyntax syntax;
    syntax.oneArgument = OneArgument{QString::fromLatin1(what), nonEmpty};
    return syntax;
}

CommandSyntax CommandSyntax::optionsOf(const QList<const CommandSyntax*>& syntaxes)
{
    CommandSyntax all;
    for (const CommandSyntax* syntax : syntaxes)
        for (const Option& o : syntax->options)
            if (!all.option(o.name))
                all.options << o;
    return all;
}

const CommandSyntax::Option* CommandSyntax::option(QStringView name) const
{
    for (const Option& o : options)
        if (o.name == name)
            return &o;
    return nullptr;
}

CommandArguments CommandSyntax::read(const QStringList& words) const
{
    CommandArguments given;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (oneArgument || !word.startsWith(u"--")) {
            given.addArgument(word);
            continue;
        }
        const Option* o = option(word);
        if (!o)
            refuse(QStringLiteral("unknown option %1").arg(word));
        if (given.has(word))
            refuse(QStringLiteral("%1 given twice").arg(word));
        given.addOption(word, o->kind == Option::Kind::Switch ? QString() : valueOf(*o, words, i));
    }
    return given;
}

void CommandSyntax::check(const CommandArguments& given, const QString& action) const
{
    checkArguments(given, action);
    checkOptions(given, action);
    for (const Group& group : groups)
        checkGroup(group, given, action);
}

CommandArguments CommandSyntax::parse(const QStringList& words) const
{
    const CommandArguments given = read(words);
    check(given);
    return given;
}

void CommandSyntax::checkArguments(const CommandArguments& given, const QString& action) const
{
    const QStringList& a = given.arguments();
    if (oneArgument) {
        if (a.size() != 1 || (oneArgument->nonEmpty && a.first().isEmpty()))
            refuse(wants(action, oneArgument->what + QStringLiteral(" as one argument")));
        return;
    }
    if (a.size() == arguments.size())
        return;
    if (!arguments.isEmpty())
        refuse(wants(action, required()));
    refuse(action.isEmpty() ? QStringLiteral("unexpected argument %1").arg(a.first())
                            : action + QStringLiteral(" takes no arguments"));
}

void CommandSyntax::checkOptions(const CommandArguments& given, const QString& action) const
{
    // Only an option of another action of the same command gets this far.
    for (const QString& name : given.optionNames())
        if (!option(name))
            refuse(action.isEmpty() ? QStringLiteral("unknown option %1").arg(name)
                                    : QStringLiteral("%1 takes no %2").arg(action, name));
    for (const Option& o : options)
        if (o.required && given.value(o.name).value_or(QString()).isEmpty())
            refuse(action.isEmpty() ? QStringLiteral("%1 is required").arg(o.name)
                                    : wants(action, o.withPlaceholder()));
}

void CommandSyntax::checkGroup(const Group& group, const CommandArguments& given, const QString& action) const
{
    qsizetype count = 0;
    QStringList withPlaceholders;
    for (const QString& name : group.options) {
        count += given.has(name) ? 1 : 0;
        const Option* o = option(name);
        withPlaceholders << (o ? o->withPlaceholder() : name);
    }
    switch (group.rule) {
    case Group::Rule::AtMostOne:
        if (count > 1)
            refuse(listed(group.options) + QStringLiteral(" exclude each other"));
        break;
    case Group::Rule::ExactlyOne:
        if (count > 1)
            refuse(wants(action, QStringLiteral("one of ") + group.options.join(QStringLiteral(", "))));
        if (count == 0)
            refuse(wants(action, QStringLiteral("one of ") + withPlaceholders.join(QStringLiteral(", "))));
        break;
    case Group::Rule::AtLeastOne:
        if (count == 0)
            refuse(wants(action, QStringLiteral("at least one of ") + group.options.join(QStringLiteral(", "))));
        break;
    }
}

QString CommandSyntax::required() const
{
    QStringList words;
    for (const Option& o : options)
        if (o.required)
            words << o.withPlaceholder();
    return (words + arguments).join(u' ');
}
