#pragma once

#include "gui/RefillingDialog.h"
#include "masterdata/Outcome.h"
#include "masterdataui/MasterDataDialog.h"
#include "store/DataSource.h"

#include <functional>

class DataModule;
class MasterDataDialog;
class QHBoxLayout;
class QPushButton;
class QTableView;
class Query;
class RecordCountLabel;

// A list screen of teachers, sections or faculties: "当前记录数:" with the record-count label, a
// read-only grid over the list's holder, and "增加", "编辑", "删除", the screen's own commands
// and "返回". Each showing loads the list again. "编辑", "删除" (and the screen's own guarded
// commands) do nothing while the count is 0 or less; a double click is "编辑".
class ListScreen : public RefillingDialog
{
    Q_OBJECT
public:
    RecordCountLabel* countLabel() const { return m_count; }
    QTableView* grid() const { return m_grid; }

    // L1: loads the list and counts it; the title follows.
    void refill() override;
    void onAddClicked();
    void onEditClicked();
    void onDeleteClicked();

protected:
    // `deleteQuestion`: what "删除" asks before it deletes.
    ListScreen(DataModule& data, Query& list, MasterDataDialog& dialog, const QString& name, const QString& title,
               const QList<DataSource::Column>& columns, const QString& deleteQuestion, QWidget* parent);

    DataModule& data() const { return m_data; }
    Query& list() const { return m_list; }
    // Whether a guarded command may go on: the record count is above 0.
    bool guardPasses() const;
    // One more command before "返回".
    QPushButton* addCommand(const QString& caption, const std::function<void()>& handler);

    // The screen's list statement, run in its holder; returns the row count.
    virtual int openList() = 0;
    virtual void setTitleAfterOpening() {}
    // Deletes the current row through the master-data service.
    virtual Outcome removeCurrent() = 0;

private:
    DataModule& m_data;
    Query& m_list;
    MasterDataDialog& m_dialog;
    QString m_deleteQuestion;
    RecordCountLabel* m_count;
    QTableView* m_grid;
    QHBoxLayout* m_buttons;
    QPushButton* m_close;
    int m_commands = 0;
};
