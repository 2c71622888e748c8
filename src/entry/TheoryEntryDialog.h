#pragma once

#include "rows/EntryRows.h"

#include "gui/RecordDialog.h"
#include "rows/WorkloadRows.h"

class DataModule;
class QComboBox;
class QLineEdit;
struct Session;

// "录入理论实验工作量": adds a theory/lab workload row for the teacher selected in the tree, or
// edits the row current in the theory/lab grid.
class TheoryEntryDialog : public RecordDialog
{
    Q_OBJECT
public:
    TheoryEntryDialog(DataModule& data, Session& session, QWidget* parent = nullptr);

    // When shown: rebuilds the course-type list and resets (adding) or reloads (editing) every input.
    void refill() override;

private:
    void setDefaults();
    void loadCurrentRow();
    EntryRows::Theory typed() const;
    bool amountsPass() const;
    QList<RowField> fields();
    // "确定": checks, saves, refreshes the grid's holder and closes; stays open on any failure.
    void saveAndClose() override;

    WorkloadRows m_rows;
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
};
