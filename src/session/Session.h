#pragma once

#include "session/Selection.h"

#include <QString>

// One operator's run, from login to exit: who logged in, the one right that takes effect, the
// data directory, the selection of the organisation tree and the workload serial. The program
// holds one and hands it by reference to the screens that read or write it.
struct Session
{
    QString OperatorCode;
    QString OperatorPassword;
    bool ParamRight = false;
    QString DataDir;

    // The tree node selected last (or the whole year when the main window was shown).
    Selection selection;

    // Highest workload serial issued so far; each insert raises it first and uses the new value.
    int NextXh = 0;

    void select(const Selection& next) { selection = selection.followedBy(next); }
};
