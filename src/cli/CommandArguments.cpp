#include "cli/CommandArguments.h"

void CommandArguments::addOption(const QString& name, const QString& value)
{
    m_options << Given{name, value};
}

void CommandArguments::takeAction()
{
    m_action = m_arguments.isEmpty() ? QString() : m_arguments.takeFirst();
}

bool CommandArguments::has(QStringView option) const
{
    return value(option).has_value();
}

std::optional<QString> CommandArguments::value(QStringView option) const
{
    for (const Given& g : m_options)
        if (g.name == option)
            return g.value;
    return std::nullopt;
}

QStringList CommandArguments::optionNames() const
{
    QStringList names;
    for (const Given& g : m_options)
        names << g.name;
    return names;
}
