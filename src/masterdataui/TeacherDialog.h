#pragma once

#include "masterdataui/MasterDataDialog.h"

class QComboBox;
class QLineEdit;

// "录入教师资料": adds a teacher to the section of the settings record, or edits the current
// teacher of the teacher list. The program has two of them: one for the teacher screen and one
// for the main window's teacher grid, told apart by their names.
class TeacherDialog : public MasterDataDialog
{
    Q_OBJECT
public:
    TeacherDialog(DataModule& data, const QString& name, QWidget* parent = nullptr);

protected:
    Outcome save(Mode mode, const QString& oldKey) override;

private:
    QLineEdit* m_code;
    QLineEdit* m_name;
    QComboBox* m_title;
    QComboBox* m_nature;
    QComboBox* m_post;
};
