#pragma once

#include "rows/WorkloadRows.h"

#include <QDialog>

class DataModule;
class EnterKeyChain;
class QComboBox;
class QLineEdit;
class QPushButton;
struct Session;

// "录入实践教学工作量": adds an internship/design, graduation-design or postgraduate-supervision
// row for the teacher selected in the tree, or edits the current row of that kind's grid.
class PracticeEntryDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Kind
    {
        Internship = 1,
        Graduation = 2,
        Supervision = 3
    };
    enum class Mode
    {
        Add,
        Edit
    };

    PracticeEntryDialog(DataModule& data, Session& session, QWidget* parent = nullptr);

    // Opens the dialog modally for a kind and mode; returns how it was closed.
    int exec(Kind kind, Mode mode);
    // Shows it without waiting (tests drive it this way).
    void show(Kind kind, Mode mode);
    Kind kind() const { return m_kind; }
    Mode mode() const { return m_mode; }

    // When shown: rebuilds the practice-type list, resets (adding) or reloads (editing) the inputs
    // and enables those of the kind.
    void refill();
    // "确定": checks, saves, refreshes the three practice grids' holders and closes.
    void onOkClicked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    using QDialog::exec;
    using QDialog::show;

    void fillPracticeTypes();
    void setDefaults();
    void loadCurrentRow();
    void enableForKind();
    // false when the command is to end here (silently or after a message).
    bool amountsPass();
    QList<RowField> fields();
    void save();

    WorkloadRows m_rows;
    Kind m_kind = Kind::Internship;
    Mode m_mode = Mode::Add;
    QLineEdit* m_kname;
    QLineEdit* m_w;
    QLineEdit* m_banji;
    QLineEdit* m_r3;
    QComboBox* m_shuoming;
    QComboBox* m_gm;
    QComboBox* m_yan;
    QLineEdit* m_r32;
    QLineEdit* m_q32;
    QLineEdit* m_r33;
    QLineEdit* m_q33;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    EnterKeyChain* m_enter;

    // From one opening to its save: when editing, the row's serial.
    QString m_xh;
};
