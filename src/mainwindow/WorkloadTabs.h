#pragma once

#include <QTabWidget>

class DataSource;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class Query;

// The workload view of the main window: the selected teacher's rows of the year on the pages
// "理论实验工作量" (one grid) and "实践工作量" (three grids, one per practice kind, chosen by a
// radio button), with the commands that add, edit and delete rows through the entry dialogs
// and recompute the figures.
class WorkloadTabs : public QTabWidget
{
    Q_OBJECT
public:
    explicit WorkloadTabs(QWidget* parent = nullptr);

    // Once the data module exists: the four grids show its workload views.
    void bindDataSources();

    // The six add/edit/delete buttons of both pages.
    void setEditingEnabled(bool enabled);
    void enableCalculate();
    // The teacher's total in general form and name, as the teacher selection reads them.
    void showTeacher(const QString& total, const QString& name);

    // Theory page: "增加", "编辑", "删除", "计算".
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    // Practice page: "增加", "编辑", "删除" for the kind whose radio button is on.
    void BitBtn5Click();
    void BitBtn6Click();
    void BitBtn7Click();

private:
    QWidget* buildTheoryPage();
    QWidget* buildPracticePage();
    QTableView* grid(const char* name);
    QPushButton* button(const char* name, const QString& caption);
    bool confirmDelete();
    void deleteRow(const QString& xh);
    // The selected practice kind: 1 internship/design, 2 graduation design, 3 supervision.
    int practiceKind() const;
    Query* practiceHolder(int kind) const;

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
