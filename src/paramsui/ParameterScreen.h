#pragma once

#include "masterdata/Parameters.h"

#include <QDialog>

#include <functional>

class DataModule;
class QLabel;
class QLineEdit;
class Query;
class QPushButton;
class QTabWidget;
class QTableView;

// The parameter screen "参数管理" (fmcsdyF): the tabs "定义k12", "定义S3" and "定义k31" change the
// out-of-class coefficient of a course type, the size value of a practice type and the course
// internship/design coefficient. Created once and shown modally; it keeps the keys of the rows
// clicked last, and its two lists, from one showing to the next for the whole run.
//
// Widgets: PageControl1 with TabSheet1 to TabSheet3; the grids DBGrid1 (k12) and DBGrid2 (S3); the
// inputs Edit1 "k12:", Edit2 "S3:" and Edit3 "课程实习、设计系数："; the row counts Label2 and Label4;
// the k31 value found at opening, Label6; "确认修改" BitBtn1, BitBtn3, BitBtn5 and "返回" BitBtn2,
// BitBtn4, BitBtn6.
class ParameterScreen : public QDialog
{
    Q_OBJECT
public:
    explicit ParameterScreen(DataModule& data, QWidget* parent = nullptr);

    // The remembered row keys: "" until a row of that grid is clicked.
    const QString& k12Shuoming() const { return m_k12Shuoming; }
    const QString& k12Yan() const { return m_k12Yan; }
    const QString& s3Shuoming() const { return m_s3Shuoming; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Tab `number`: TabSheet<number> with what it shows (a grid, or the k31 found at opening), the
    // row count of a grid, the input and its "确认修改" BitBtn<2n-1> and "返回" BitBtn<2n>.
    QWidget* buildPage(int number, QWidget* shown, QLabel* count, const QString& caption, QLineEdit* edit,
                       const std::function<void()>& confirmed);
    // A click on a grid's row chooses it: the row's value goes into the input and `remember`
    // keeps its keys; a double click also puts the focus in the input.
    void chooseRowsOf(QTableView* grid, Query* rows, QLineEdit* edit, const QString& valueField,
                      const std::function<void(const Query&)>& remember);
    void bindDataSources();
    void refill();
    // "确认修改": the value typed is checked, the operator asked ("你确信修改<name>的数据吗？") and
    // the value written; a refusal is shown.
    void confirmChange(QLineEdit* input, const QString& name, Outcome (*check)(const QString&),
                       const std::function<Outcome(const QString&)>& write);
    // The messages of a refused value; false when the value may be written.
    bool refused(const Outcome& outcome, QLineEdit* input);

    DataModule& m_data;
    Parameters m_parameters;
    QTabWidget* m_tabs;
    QTableView* m_k12Grid;
    QTableView* m_s3Grid;
    QLineEdit* m_k12Input;
    QLineEdit* m_s3Input;
    QLineEdit* m_k31Input;
    QLabel* m_k12Count;
    QLabel* m_s3Count;
    QLabel* m_k31Original;

    QString m_k12Shuoming;
    QString m_k12Yan;
    QString m_s3Shuoming;
};
