#pragma once

#include <QDialog>

class EnterKeyChain;
class QComboBox;
class QLineEdit;
class QPushButton;

// "录入实践教学工作量": adds or edits one practice workload row of the teacher selected in the
// tree. loginState().PracticeKind: 1-3 add an internship/design, graduation-design or
// postgraduate-supervision row; 4-6 edit the current row of that kind's grid.
class Tfmsjjxf : public QDialog
{
    Q_OBJECT
public:
    explicit Tfmsjjxf(QWidget* parent = nullptr);
    ~Tfmsjjxf() override;

    // Rebuilds the practice-type list, resets (adding) or reloads (editing) the inputs and enables
    // those of the kind.
    void FormShow();
    // "确定": checks, saves, refreshes the three practice grids' holders and closes.
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillPracticeTypes();
    void setDefaults(int kind);
    void loadCurrentRow(int kind);
    void enableForKind(int kind);
    // false when the command is to end here (silently or after a message).
    bool amountsPass();
    void save();

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

    // From one opening to its save: the category written and, when editing, the row's serial.
    QString m_fl;
    QString m_xh;
};

// The one practice entry dialog of the run, set while it exists.
extern Tfmsjjxf* fmsjjxf;
