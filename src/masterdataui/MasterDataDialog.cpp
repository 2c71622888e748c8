#include "masterdataui/MasterDataDialog.h"

#include "gui/ErrorDisplay.h"
#include "gui/MessageBox.h"
#include "store/DataModule.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

void setInputText(QWidget* input, const QString& text)
{
    if (auto* combo = qobject_cast<QComboBox*>(input))
        combo->setEditText(text);
    else
        static_cast<QLineEdit*>(input)->setText(text);
}

} // namespace

MasterDataDialog::MasterDataDialog(DataModule& data, Query& list, const QString& name, const QString& title,
                                   QWidget* parent)
    : RecordDialog(parent), m_data(data), m_list(list), m_form(new QFormLayout)
{
    setObjectName(name);
    setWindowTitle(title);
    layOut(m_form);
}

QLineEdit* MasterDataDialog::addText(const char* name, const QString& caption, const QString& field,
                                     const QString& defaultText)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    edit->setMinimumWidth(200);
    addInput(edit, caption, field, defaultText);
    return edit;
}

QComboBox* MasterDataDialog::addDropDown(const char* name, const QString& caption, const QStringList& items,
                                         const QString& field, const QString& defaultText)
{
    // Any typed text is kept as it stands; it does not join the list.
    auto* combo = new QComboBox(this);
    combo->setObjectName(QLatin1String(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    addInput(combo, caption, field, defaultText);
    return combo;
}

void MasterDataDialog::addInput(QWidget* widget, const QString& caption, const QString& field,
                                const QString& defaultText)
{
    m_form->addRow(caption, widget);
    m_inputs.append({widget, field, defaultText});
}

void MasterDataDialog::setDefaults()
{
    for (const Input& input : m_inputs)
        setInputText(input.widget, input.defaultText);
}

void MasterDataDialog::loadCurrentRow()
{
    for (const Input& input : m_inputs)
        setInputText(input.widget, m_list.fieldByName(input.field).asString());
}

void MasterDataDialog::chainEnter(const QList<QWidget*>& inputs)
{
    for (int i = 0; i < inputs.size(); ++i)
        enterMovesOn(inputs[i], i + 1 < inputs.size() ? inputs[i + 1] : okButton());
}

void MasterDataDialog::refill()
{
    ErrorDisplay::guard(this, [this] {
        m_data.dtbmdm1->close();
        if (mode() == Mode::Edit)
            loadCurrentRow();
        else
            setDefaults();
        if (!m_inputs.isEmpty())
            m_inputs.front().widget->setFocus(Qt::OtherFocusReason);
    });
}

void MasterDataDialog::saveAndClose()
{
    const QString oldKey = mode() == Mode::Edit ? m_list.fieldByName(m_inputs.front().field).asString() : QString();
    const Outcome outcome = save(mode(), oldKey);
    if (!outcome.ok()) {
        MessageBox::error(this, outcome.message);
        return;
    }
    m_list.close();
    m_list.open();
    accept();
}
