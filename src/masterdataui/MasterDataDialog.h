#pragma once

#include "gui/RecordDialog.h"
#include "masterdata/Outcome.h"

class DataModule;
class QComboBox;
class QFormLayout;
class QLineEdit;
class Query;

// The add/edit dialog of a teacher, section or faculty. Each opening fills the inputs (defaults
// for adding, the list's current row for editing); "确定" saves through the master-data service,
// re-opens the list and closes, or shows why not and stays open with the input as typed;
// "放弃" closes without writing.
class MasterDataDialog : public RecordDialog
{
    Q_OBJECT
public:
    void refill() override;

protected:
    MasterDataDialog(DataModule& data, Query& list, const QString& name, const QString& title, QWidget* parent);

    DataModule& data() { return m_data; }

    // An input that shows the list row's `field` when editing and `defaultText` when adding. The
    // first input's field is the row's key (the old key of an edit).
    QLineEdit* addText(const char* name, const QString& caption, const QString& field, const QString& defaultText = {});
    QComboBox* addDropDown(const char* name, const QString& caption, const QStringList& items, const QString& field,
                           const QString& defaultText);
    // Enter in an input moves the focus to the next one; the last moves it to "确定".
    void chainEnter(const QList<QWidget*>& inputs);

    virtual Outcome save(Mode mode, const QString& oldKey) = 0;

private:
    struct Input
    {
        QWidget* widget;
        QString field;
        QString defaultText;
    };

    void addInput(QWidget* widget, const QString& caption, const QString& field, const QString& defaultText);
    void setDefaults();
    void loadCurrentRow();
    void saveAndClose() override;

    DataModule& m_data;
    Query& m_list;
    QFormLayout* m_form;
    QList<Input> m_inputs;
};
