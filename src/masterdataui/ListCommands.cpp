#include "masterdataui/ListCommands.h"

#include "gui/MessageBox.h"
#include "masterdataui/RecordCountLabel.h"
#include "store/Query.h"

#include <optional>

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
    if (MessageBox::show(parent, QStringLiteral("提示信息"), question, MessageBox::NoIcon, MessageBox::OkCancel) !=
        MessageBox::AnswerOk)
        return;
    const Outcome outcome = remove();
    if (!outcome.ok()) {
        MessageBox::error(parent, outcome.message);
        return;
    }
    count.countDown();
    list.prior();
    std::optional<Query::Bookmark> before;
    if (!list.bof())
        before = list.getBookmark();
    list.close();
    list.open();
    if (before)
        list.gotoBookmark(*before);
}

} // namespace ListCommands
