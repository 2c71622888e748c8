#pragma once

#include <QString>

#include <functional>

class QWidget;

// The general error display: an error that no command catches (the store's refusal, a file that
// cannot be written, ...) ends the command and shows its own text in an error box; the program
// goes on.
namespace ErrorDisplay {

void show(QWidget* parent, const QString& text);

// Runs a command; a ProgramError it throws is shown and swallowed. Returns false when one was.
bool guard(QWidget* parent, const std::function<void()>& command);

} // namespace ErrorDisplay
