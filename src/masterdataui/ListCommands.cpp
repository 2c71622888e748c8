#include "masterdataui/ListCommands.h"

#include "gui/MessageBox.h"
#include "masterdataui/RecordCountLabel.h"
#include "store/Query.h"

namespace ListCommands {

void add(Query& list, RecordCountLabel& count, const std::function<bool()>& runDialog)
{
    if (runDialog())
        count.countUp();
    list.last();
}

void edit(Query& list, const std::function<void()>& runDialog)
{
    const Query::Bookmark row = list.getBookmark();
    runDialog();
    list.gotoBookmark(row);
}

void remove(QWidget* parent, Query& list, RecordCountLabel& count, const QString& question,
            const std::function<Outcome()>& remove)
{
    if (!MessageBox::confirm(parent, question))
        return;
    const Outcome outcome = remove();
    if (!outcome.ok()) {
        MessageBox::error(parent, outcome.message);
        return;
    }
    count.countDown();
    list.reopenAtRowBefore();
}

} // namespace ListCommands
