#pragma once

#include <QDialog>

class EnterKeyChain;
class QComboBox;
class QLineEdit;
class QPushButton;

// "录入理论实验工作量": adds a theory/lab workload row for the teacher selected in the tree, or
// edits the row current in the theory/lab grid (loginState().TheoryEntryMode: 1 add, 0 edit).
class Tfmlilunf : public QDialog
{
    Q_OBJECT
public:
    explicit Tfmlilunf(QWidget* parent = nullptr);
    ~Tfmlilunf() override;

    // Rebuilds the course-type list and resets (adding) or reloads (editing) every input.
    void FormShow();
    // "确定": checks, saves, refreshes the grid's holder and closes; stays open on any failure.
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillCourseTypes();
    void setDefaults();
    void loadCurrentRow();
    bool amountsPass() const;
    void save();

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

// The one theory/lab entry dialog of the run, set while it exists.
extern Tfmlilunf* fmlilunf;
