#pragma once

#include "rows/WorkloadRows.h"

#include <QDialog>

class DataModule;
class EnterKeyChain;
class QComboBox;
class QLineEdit;
class QPushButton;
struct Session;

// "录入理论实验工作量": adds a theory/lab workload row for the teacher selected in the tree, or
// edits the row current in the theory/lab grid.
class TheoryEntryDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Mode
    {
        Edit,
        Add
    };

    TheoryEntryDialog(DataModule& data, Session& session, QWidget* parent = nullptr);

    // Opens the dialog modally in the given mode; returns how it was closed.
    int exec(Mode mode);
    // Shows it without waiting (tests drive it this way).
    void show(Mode mode);
    Mode mode() const { return m_mode; }

    // When shown: rebuilds the course-type list and resets (adding) or reloads (editing) every input.
    void refill();
    // "确定": checks, saves, refreshes the grid's holder and closes; stays open on any failure.
    void onOkClicked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    using QDialog::exec;
    using QDialog::show;

    void fillCourseTypes();
    void setDefaults();
    void loadCurrentRow();
    bool amountsPass() const;
    QList<RowField> fields();
    void save();

    WorkloadRows m_rows;
    Mode m_mode = Mode::Add;
    QLineEdit* m_kname;
    QLineEdit* m_t1;
    QLineEdit* m_banji;
    QLineEdit* m_r1;
    QComboBox* m_shuoming;
    QComboBox* m_yan;
    QLineEdit* m_t2;
    QLineEdit* m_r2;
    QLineEdit* m_fzs;
    QComboBox* m_gm;
    QComboBox* m_bg;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    EnterKeyChain* m_enter;
};
