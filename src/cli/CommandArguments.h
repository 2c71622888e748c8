#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What a command line gave one command: the options with their values, in the order given, the
// action of a command that has actions, and the positional arguments.
class CommandArguments
{
public:
    // A switch is noted with an empty value.
    void addOption(const QString& name, const QString& value = {});
    void addArgument(const QString& argument) { m_arguments << argument; }
    // Moves the first argument out as the action that the command line names.
    void takeAction();

    const QString& action() const { return m_action; }
    bool has(QStringView option) const;
    // The option's value; none when it was not given.
    std::optional<QString> value(QStringView option) const;
    // The options given, in the order given.
    QStringList optionNames() const;
    const QStringList& arguments() const { return m_arguments; }
    QString argument(qsizetype i) const { return m_arguments.value(i); }

private:
    struct Given
    {
        QString name;
        QString value;
    };

    QList<Given> m_options;
    QString m_action;
    QStringList m_arguments;
};
