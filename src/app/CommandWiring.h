#pragma once

#include <QString>

#include <functional>
#include <initializer_list>

class QAction;
class QDialog;
class QObject;
class QWidget;

// Connects a window's named commands (menu items and toolbar buttons, found by object name) to
// the screens they open. A name the window does not have is a fault of the program: it is
// thrown at start-up (ProgramError, internal) rather than left as a command that does nothing.
class CommandWiring
{
public:
    explicit CommandWiring(QWidget& window) : m_window(window) {}

    // These commands show `screen` beside the window and bring it to the front when it is open.
    void openBeside(QWidget& screen, std::initializer_list<const char*> commands) const;
    // These show `screen` modally.
    void openModal(QDialog& screen, std::initializer_list<const char*> commands) const;

private:
    // Enables every command of these names and runs `open` (in the context of `screen`) when
    // one is triggered; connects none when one of them is missing.
    void connectAll(QObject& screen, std::initializer_list<const char*> commands,
                    const std::function<void()>& open) const;
    QAction* command(const char* name) const;

    QWidget& m_window;
};
