#pragma once

#include "gui/RefillingDialog.h"

class EnterKeyChain;
class QLayout;
class QPushButton;

// A dialog that adds a row to a list or edits the list's current row: each opening fills the
// inputs for its mode (defaults for adding, the current row for editing); "确定" (BitBtn1) saves,
// "放弃" (BitBtn2) closes without writing. The list commands open it without knowing what it
// keeps.
class RecordDialog : public RefillingDialog
{
    Q_OBJECT
public:
    enum class Mode
    {
        Add,
        Edit
    };

    // Opens the dialog modally in a mode; returns how it was closed.
    int exec(Mode mode);
    // Shows it without waiting (tests drive it this way).
    void show(Mode mode);
    Mode mode() const { return m_mode; }

    // "确定": saves and closes, or says why not and stays open with the input as typed.
    void onOkClicked();

protected:
    explicit RecordDialog(QWidget* parent = nullptr);

    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    // The inputs over the row of buttons.
    void layOut(QLayout* inputs);
    // Enter in `from` moves the focus to `to` instead of pressing a button (EnterKeyChain).
    void enterMovesOn(QWidget* from, QWidget* to);
    // What "确定" does, under the general error display.
    virtual void saveAndClose() = 0;

private:
    using QDialog::exec;
    using QDialog::show;

    Mode m_mode = Mode::Add;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    EnterKeyChain* m_enter;
};
