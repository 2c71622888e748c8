#pragma once

#include "masterdataui/ListScreen.h"

class FacultyDialog;

// "院部管理": every faculty, added, renamed and deleted through the faculty dialog.
class FacultyScreen : public ListScreen
{
    Q_OBJECT
public:
    FacultyScreen(DataModule& data, FacultyDialog& dialog, QWidget* parent = nullptr);

protected:
    int openList() override;
    Outcome removeCurrent() override;
};
