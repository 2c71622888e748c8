#include "gui/ErrorDisplay.h"

#include "gui/MessageBox.h"
#include "store/ProgramError.h"

#include <QApplication>

namespace ErrorDisplay {

void show(QWidget* parent, const QString& text)
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    MessageBox::error(parent, text);
}

bool guard(QWidget* parent, const std::function<void()>& command)
{
    try {
        command();
        return true;
    } catch (const ProgramError& e) {
        show(parent, e.text());
        return false;
    }
}

} // namespace ErrorDisplay
