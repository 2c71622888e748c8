#pragma once

#include <QString>

// The values the screens share for the whole run, from login to exit. Screens pass no
// arguments to each other; they read and write these.
struct LoginState
{
    QString OperatorCode;
    QString OperatorPassword;
    bool ParamRight = false;
    QString DataDir;

    // Condition on workload rows for the selected tree node (year and names).
    QString YearFilter;
    // Completes "select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and " for the node; begins with a space.
    QString NodeFilter;
    QString YearTitle;

    // Highest workload serial issued so far; each insert raises it first and uses the new value.
    int NextXh = 0;

    // Open modes, set by an opener just before it shows the dialog.
    int TheoryEntryMode = 0;
    int PracticeKind = 0;
    int Rydm2Mode = 0;
    int Rydm1Mode = 0;
    int Bmdm1Mode = 0;
    int Ybdm1Mode = 0;

    // The process's one login state.
    static LoginState& instance();
    // Back to the initial values (a new run; used by tests).
    static void reset();
};

inline LoginState& loginState()
{
    return LoginState::instance();
}
