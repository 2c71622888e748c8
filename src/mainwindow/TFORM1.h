#pragma once

#include "NodeTable.h"

#include <QMainWindow>

class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;
class SettingsYearBox;
class TeacherPanel;
class WorkloadTabs;

// The main window: the organisation tree of faculties, sections and teachers for the year in
// the toolbar's year box, and on the right the welcome cover, the teacher list of the selected
// faculty or section, or the selected teacher's workload tabs. Selecting a node sets the
// login state's selection values and the settings record's selection columns.
class TFORM1 : public QMainWindow
{
    Q_OBJECT
public:
    enum class View
    {
        Welcome,
        TeacherList,
        Workload
    };

    explicit TFORM1(QWidget* parent = nullptr);
    ~TFORM1() override;

    // Once the data module exists: the grids and the year box are bound to it.
    void bindDataSources();

    // When the window is shown: NextXh, the whole-year filter, the year list and the tree.
    void FormShow();
    // Clears and refills the tree and its node table for the year box's text.
    void BuildTree();
    // The reaction to selecting a tree node, by the node's level.
    void TreeView1Change(QTreeWidgetItem* node);
    // Every change of the year box's text by the operator.
    void DBComboBox2Change(const QString& text);

    View view() const;
    const NodeTable& nodes() const { return m_nodes; }

signals:
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QWidget* buildWelcome();
    void showView(View view);
    void selectFaculty(const NodeTable::Entry& e);
    void selectSection(const NodeTable::Entry& e);
    void selectTeacher(const NodeTable::Entry& e);
    void listTeachers(const QString& condition);
    QString year() const;

    SettingsYearBox* m_year;
    QTreeWidget* m_tree;
    QStackedWidget* m_views;
    QWidget* m_welcome;
    TeacherPanel* m_teachers;
    WorkloadTabs* m_tabs;
    QAction* m_paramItem = nullptr;
    NodeTable m_nodes;
    bool m_building = false;
};

// The process's one main window, set while it exists.
extern TFORM1* FORM1;
