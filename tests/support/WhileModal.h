#pragma once

#include <QDialog>
#include <QTest>
#include <QTimer>

#include <functional>

// Runs `inDialog` once the modal dialog is up while `click` runs, and closes the dialog if it is
// still open afterwards. False when no dialog came up.
inline bool whileModal(QDialog* dialog, const std::function<void()>& click, const std::function<void()>& inDialog)
{
    bool shown = false;
    QTimer::singleShot(0, dialog, [&] {
        if (!dialog->isVisible())
            return;
        shown = true;
        inDialog();
        if (dialog->isVisible())
            dialog->reject();
    });
    click();
    QTest::qWait(1); // lets a timer that found no dialog run before the next test step
    return shown;
}
