#pragma once

#include <QString>

// The folder the export's directory chooser and the import's file chooser start in: the one an
// exchange file was last written to or taken from, by either screen, kept for the operator
// between runs; the first start until there is one, or when it is gone.
class ExchangeFolder
{
public:
    // "c:" on Windows, else the home directory.
    static QString firstStart();
    static QString start();
    static void remember(const QString& directory);
};
