#pragma once

#include <QWidget>

class DataModule;
class QLabel;
class QPushButton;
class QTableView;

// The teacher-list view of the main window (Panel4): the count line "当前记录数:" with the
// record-count label, the teacher grid of the selected faculty or section and its buttons.
class TeacherPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TeacherPanel(DataModule& data, QWidget* parent = nullptr);

    // Once the data module exists: the grid shows dtrydm.
    void bindDataSources();
    void setCount(int count);

private:
    DataModule& m_data;
    QLabel* m_count;
    QTableView* m_grid;
};
