#include "gui/ListCommands.h"

#include "gui/MessageBox.h"
#include "gui/RecordCountLabel.h"
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
            const std::function<std::optional<QString>()>& remove)
{
    if (!MessageBox::confirm(parent, question))
        return;
    if (const std::optional<QString> refusal = remove()) {
        MessageBox::error(parent, *refusal);
        return;
    }
    count.countDown();
    list.reopenAtRowBefore();
}

} // namespace ListCommands
