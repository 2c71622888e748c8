#pragma once

#include "rows/EntryRows.h"

#include "gui/RecordDialog.h"
#include "rows/WorkloadRows.h"
#include "store/WorkloadCategories.h"

class DataModule;
class QComboBox;
class QLineEdit;
struct Session;

// "录入实践教学工作量": adds an internship/design, graduation-design or postgraduate-supervision
// row for the teacher selected in the tree, or edits the current row of that kind's grid.
class PracticeEntryDialog : public RecordDialog
{
    Q_OBJECT
public:
    // The practice kinds: internship and course design, graduation design, postgraduate
    // supervision (the workload categories after the theory/lab one).
    using Kind = WorkloadCategories::Id;
    PracticeEntryDialog(DataModule& data, Session& session, QWidget* parent = nullptr);

    // Opens the dialog modally for a kind and mode; returns how it was closed.
    int exec(Kind kind, Mode mode);
    // Shows it without waiting (tests drive it this way).
    void show(Kind kind, Mode mode);
    Kind kind() const { return m_kind; }

    // When shown: rebuilds the practice-type list, resets (adding) or reloads (editing) the inputs
    // and enables those of the kind.
    void refill() override;

private:
    void setDefaults();
    void loadCurrentRow();
    void enableForKind();
    // false when the command is to end here (silently or after a message).
    EntryRows::Practice typed() const;
    bool amountsPass();
    QList<RowField> fields();
    // "确定": checks, saves, refreshes the three practice grids' holders and closes.
    void saveAndClose() override;

    WorkloadRows m_rows;
    Kind m_kind = Kind::Internship;
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

    // From one opening to its save: when editing, the row's serial.
    QString m_xh;
};
