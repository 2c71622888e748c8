#pragma once

#include "masterdataui/ListScreen.h"

class TeacherDialog;

// "<section code> 教师管理": the teachers of the section in the settings record's jys, added,
// edited and deleted through the teacher dialog.
class TeacherScreen : public ListScreen
{
    Q_OBJECT
public:
    TeacherScreen(DataModule& data, TeacherDialog& dialog, QWidget* parent = nullptr);

protected:
    int openList() override;
    void setTitleAfterOpening() override;
    Outcome removeCurrent() override;
};
