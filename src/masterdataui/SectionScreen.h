#pragma once

#include "masterdataui/ListScreen.h"

class SectionDialog;
class TeacherScreen;

// "<faculty> 教研室管理": the sections of the faculty in the settings record's yx, added, edited
// and deleted through the section dialog; "人员名单" opens the teacher screen on the current one.
class SectionScreen : public ListScreen
{
    Q_OBJECT
public:
    SectionScreen(DataModule& data, SectionDialog& dialog, TeacherScreen& teachers, QWidget* parent = nullptr);

    // "人员名单": the settings record's jys becomes the current section, whose teachers the teacher
    // screen then lists; afterwards the same section is current again.
    void onTeachersClicked();

protected:
    int openList() override;
    void setTitleAfterOpening() override;
    Outcome removeCurrent() override;
    bool event(QEvent* event) override;

private:
    TeacherScreen& m_teachers;
    QString m_statement;
};
