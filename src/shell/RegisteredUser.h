#pragma once

#include <QString>

// The user to whom the product is registered, as the About box shows it.
struct RegisteredUser
{
    QString name;
    QString company;

    // On Linux: the account's full name; no company is recorded.
    static RegisteredUser current();
    // The full name of a passwd comment field: its first comma-separated part.
    static QString nameFromGecos(const QString& gecos);
};
