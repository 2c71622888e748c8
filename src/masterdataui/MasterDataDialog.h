#pragma once

#include "masterdata/Outcome.h"

#include <QDialog>

class DataModule;
class EnterKeyChain;
class QComboBox;
class QFormLayout;
class QLineEdit;
class QPushButton;
class Query;

// The add/edit dialog of a teacher, section or faculty. Each opening fills the inputs (defaults
// for adding, the list's current row for editing); "确定" saves through the master-data service,
// re-opens the list and closes, or shows why not and stays open with the input as typed;
// "放弃" closes without writing.
class MasterDataDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Mode
    {
        Add,
        Edit
    };

    // Opens the dialog modally in a mode; returns how it was closed.
    int exec(Mode mode);
    // Shows it without waiting (tests drive it this way).
    void show(Mode mode);
    Mode mode() const { return m_mode; }

    // "确定".
    void onOkClicked();

protected:
    MasterDataDialog(DataModule& data, Query& list, const QString& name, const QString& title, QWidget* parent);

    DataModule& data() { return m_data; }
    const Query& list() const { return m_list; }

    QLineEdit* addText(const char* name, const QString& caption);
    QComboBox* addDropDown(const char* name, const QString& caption, const QStringList& items);
    // Enter in an input moves the focus to the next one; the last moves it to "确定".
    void chainEnter(const QList<QWidget*>& inputs);

    virtual void setDefaults() = 0;
    virtual void loadCurrentRow() = 0;
    // The list row's key field (the old key of an edit).
    virtual QString keyField() const = 0;
    virtual Outcome save(Mode mode, const QString& oldKey) = 0;

    void showEvent(QShowEvent* event) override;

private:
    using QDialog::exec;
    using QDialog::show;

    void refill();
    void saveAndClose();

    DataModule& m_data;
    Query& m_list;
    Mode m_mode = Mode::Add;
    QFormLayout* m_form;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    EnterKeyChain* m_enter;
    QWidget* m_first = nullptr;
};
