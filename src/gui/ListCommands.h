#pragma once

#include <QString>

#include <functional>
#include <optional>

class Query;
class QWidget;
class RecordCountLabel;

// The add, edit and delete commands of a list of teachers, sections or faculties, the same on
// each list screen and on the main window's teacher grid.
namespace ListCommands {

// Runs the add dialog (true when it saved); a save counts one more. Either way the list's last
// row is current afterwards.
void add(Query& list, RecordCountLabel& count, const std::function<bool()>& runDialog);

// Runs the edit dialog over the current row and comes back to that row afterwards.
void edit(Query& list, const std::function<void()>& runDialog);

// Asks, then deletes through `remove`, which returns the refusal the operator is shown, if any. A
// refusal is shown as an error; a delete counts one less and leaves the row before the deleted
// one current, or the new first row when the first was deleted.
void remove(QWidget* parent, Query& list, RecordCountLabel& count, const QString& question,
            const std::function<std::optional<QString>()>& remove);

} // namespace ListCommands
