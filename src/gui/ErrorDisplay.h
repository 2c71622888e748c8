#pragma once

#include <QString>

#include <functional>

class QWidget;

// The general error display: a store error that no command catches ends the command and shows
// the store's own text in an error box; the program goes on.
namespace ErrorDisplay {

void show(QWidget* parent, const QString& text);

// Runs a command; a StoreError it throws is shown and swallowed. Returns false when one was.
bool guard(QWidget* parent, const std::function<void()>& command);

} // namespace ErrorDisplay
