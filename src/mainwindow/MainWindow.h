#pragma once

#include "mainwindow/NodeTable.h"
#include "session/Selection.h"

#include <QMainWindow>

class DataModule;
class PracticeEntryDialog;
class QLabel;
class QSplitter;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;
class RecordDialog;
class SettingsYearBox;
class TeacherFinder;
class TeacherPanel;
class TheoryEntryDialog;
class TreePopup;
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
               PracticeEntryDialog& practiceDialog, RecordDialog& teacherDialog, QWidget* parent = nullptr);
    // Which store the program works on, shown in the status bar.
    void setStoreLocation(const QString& location);
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

    // The exit confirmation of "退出(&X)" and the toolbar's "退出".
    void onExitRequested();
    // The tree's popup menu, made ready for the selected node as it is when it opens.
    TreePopup* preparePopup();
    // "编辑(&E)" of the popup: the faculty or section screen of the level it was last opened on,
    // then the question whether to rebuild the tree.
    void onPopupEdit();
    // The toolbar's "查询": the next teacher whose name or code holds the text is selected.
    void findTeacher(const QString& text);
    TeacherFinder* finder() const { return m_finder; }
    // Selects a faculty, section or teacher in the tree (its branches opened), as a click on it
    // would; false when the tree has no such node.
    bool showNode(const Selection::Node& node);

signals:
    void closed();
    // The popup's "编辑" at a faculty (1) or a section (2): the screen is shown modally by whoever
    // owns it before the signal returns.
    void facultyScreenRequested();
    void sectionScreenRequested();
    // The teacher grid's "打印".
    void printRequested();
    // A node was selected: the whole year at the root, else a faculty, section or teacher whose
    // selection is then set.
    void nodeSelected(const Selection::Node& node);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    QWidget* buildWelcome();
    void showView(View view);
    // The selection values and settings-record columns of a node, as selecting it or opening the
    // popup on it sets them.
    void applyFaculty(const NodeTable::Entry& e);
    void applySection(const NodeTable::Entry& e);
    void applyTeacher(const NodeTable::Entry& e);
    void selectFaculty(const NodeTable::Entry& e);
    void selectSection(const NodeTable::Entry& e);
    void selectTeacher(const NodeTable::Entry& e);
    // A click on (or Enter at) the selected node while the right side does not show it.
    void showCurrentAgain(QTreeWidgetItem* node);
    // Makes a node current, with the branches above it open and in view.
    void goTo(QTreeWidgetItem* node);
    void restoreLayout();
    void saveLayout() const;
    QString year() const;

    DataModule& m_data;
    Session& m_session;
    SettingsYearBox* m_year;
    QTreeWidget* m_tree;
    QSplitter* m_splitter;
    QStackedWidget* m_views;
    QWidget* m_welcome;
    TeacherPanel* m_teachers;
    WorkloadTabs* m_tabs;
    QAction* m_paramItem = nullptr;
    TreePopup* m_popup;
    TeacherFinder* m_finder;
    NodeTable m_nodes;
    bool m_building = false;
    // Whether the right side shows the tree's selected node (not after a year change).
    bool m_currentShown = true;
    QLabel* m_storeLocation = nullptr;
};
