#pragma once

#include "rows/WorkloadRows.h"

#include <QTabWidget>

class DataModule;
class PracticeEntryDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class Query;
class TheoryEntryDialog;
class WorkloadCalculator;
struct Session;

// The workload view of the main window: the selected teacher's rows of the year on the pages
// "理论实验工作量" (one grid) and "实践工作量" (three grids, one per practice kind, chosen by a
// radio button), with the commands that add, edit and delete rows through the entry dialogs
// and recompute the figures.
class WorkloadTabs : public QTabWidget
{
    Q_OBJECT
public:
    WorkloadTabs(DataModule& data, Session& session, WorkloadCalculator& calculator, TheoryEntryDialog& theoryDialog,
                 PracticeEntryDialog& practiceDialog, QWidget* parent = nullptr);

    // Once the data module's sources exist: the four grids show its workload views.
    void bindDataSources();

    // The six add/edit/delete buttons of both pages.
    void setEditingEnabled(bool enabled);
    void enableCalculate();
    // The teacher's total in general form and name, as the teacher selection reads them.
    void showTeacher(const QString& total, const QString& name);

    // Theory page: "增加", "编辑", "删除", "计算".
    void onTheoryAddClicked();
    void onTheoryEditClicked();
    void onTheoryDeleteClicked();
    void onCalculateClicked();
    // Practice page: "增加", "编辑", "删除" for the kind whose radio button is on.
    void onPracticeAddClicked();
    void onPracticeEditClicked();
    void onPracticeDeleteClicked();

private:
    QWidget* buildTheoryPage();
    QWidget* buildPracticePage();
    QTableView* grid(const char* name);
    QPushButton* button(const char* name, const QString& caption);
    // The row before the deleted one stays current (the first row after deleting the first), or
    // the view starts again at its first row.
    enum class AfterDelete
    {
        RowBefore,
        FirstRow
    };
    void deleteCurrentRow(WorkloadRows::Category category, AfterDelete after);
    // The selected practice kind: 1 internship/design, 2 graduation design, 3 supervision.
    WorkloadRows::Category practiceCategory() const;

    DataModule& m_data;
    Session& m_session;
    WorkloadCalculator& m_calculator;
    TheoryEntryDialog& m_theoryDialog;
    PracticeEntryDialog& m_practiceDialog;
    WorkloadRows m_rows;

    QTableView* m_theoryGrid;
    QTableView* m_practiceGrids[3];
    QRadioButton* m_kinds[3];
    QLabel* m_theoryName;
    QLabel* m_practiceName;
    QLineEdit* m_total;
    QPushButton* m_theoryAdd;
    QPushButton* m_theoryEdit;
    QPushButton* m_theoryDelete;
    QPushButton* m_calculate;
    QPushButton* m_practiceAdd;
    QPushButton* m_practiceEdit;
    QPushButton* m_practiceDelete;
};
