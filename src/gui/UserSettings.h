#pragma once

#include <memory>

class QSettings;

// What the program keeps for the operator between runs (the main window's place, the folder the
// exchange files were last taken from or written to), in the user's configuration folder
// (~/.config/workload/workload.ini).
class UserSettings
{
public:
    static std::unique_ptr<QSettings> open();
};
