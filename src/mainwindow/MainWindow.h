#pragma once

#include "mainwindow/NodeTable.h"

#include <QMainWindow>

class DataModule;
class PracticeEntryDialog;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;
class SettingsYearBox;
class TeacherDialog;
class TeacherPanel;
class TheoryEntryDialog;
class WorkloadCalculator;
class WorkloadTabs;
struct Session;

// The main window: the organisation tree of faculties, sections and teachers for the year in
// the toolbar's year box, and on the right the welcome cover, the teacher list of the selected
// faculty or section, or the selected teacher's workload tabs. Selecting a node sets the
// session's selection and the settings record's selection columns.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    enum class View
    {
        Welcome,
        TeacherList,
        Workload
    };

    MainWindow(DataModule& data, Session& session, WorkloadCalculator& calculator, TheoryEntryDialog& theoryDialog,
               PracticeEntryDialog& practiceDialog, TeacherDialog& teacherDialog, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Once every screen exists: the grids and the year box are bound to the data module.
    void bindDataSources();

    // When the window is shown: NextXh, the whole-year selection, the year list and the tree.
    void refresh();
    // Clears and refills the tree and its node table for the year box's text.
    void buildTree();
    // The reaction to selecting a tree node, by the node's level.
    void onNodeSelected(QTreeWidgetItem* node);
    // Every change of the year box's text by the operator.
    void onYearEdited(const QString& text);

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
    QString year() const;

    DataModule& m_data;
    Session& m_session;
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
