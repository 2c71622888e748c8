#pragma once

#include <QString>
#include <QStringList>

// The options of one command line, each of which may be given once: a second "--year" or "--to"
// would otherwise silently replace the first, and the command would act on a value its caller
// may not have meant. A repeat is a usage error that names the option.
class CommandOptions
{
public:
    // Records a switch (an option without a value) as given.
    void note(const QString& option);
    // The value that follows the option at args[i]; moves i onto it. A missing value is a usage error.
    QString takeValue(const QStringList& args, qsizetype& i);

private:
    QStringList m_given;
};
