#pragma once

#include <QWidget>

class DataModule;
class QPushButton;
class QTableView;
class RecordCountLabel;
class RecordDialog;
class WorkloadCalculator;
struct Session;

// The teacher-list view of the main window (Panel4): the count line "当前记录数:" with the
// record-count label, the teacher grid of the selected faculty or section and its commands:
// "增加", "编辑", "删除" through the teacher dialog (at a section node only), "打印" and "计算"
// over the selected node.
class TeacherPanel : public QWidget
{
    Q_OBJECT
public:
    TeacherPanel(DataModule& data, Session& session, WorkloadCalculator& calculator, RecordDialog& dialog,
                 QWidget* parent = nullptr);

    // Once the data module exists: the grid shows dtrydm.
    void bindDataSources();
    void setCount(int count);
    // Adding, editing and deleting teachers: at a section node, not at a faculty node.
    void setEditingEnabled(bool enabled);

    void onAddClicked();
    void onEditClicked();
    void onDeleteClicked();
    void onCalculateClicked();

signals:
    // "打印": the printed list of what the grid shows is asked for.
    void printRequested();

private:
    QPushButton* command(const char* name, const char* caption);

    DataModule& m_data;
    Session& m_session;
    WorkloadCalculator& m_calculator;
    RecordDialog& m_dialog;
    RecordCountLabel* m_count;
    QTableView* m_grid;
    QList<QPushButton*> m_editing;
};
