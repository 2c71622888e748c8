#include "gui/SettingsYearBox.h"

#include "gui/ErrorDisplay.h"
#include "store/TableObject.h"

#include <QLineEdit>

SettingsYearBox::SettingsYearBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(this, &QComboBox::editTextChanged, this, &SettingsYearBox::operatorChanged);
}

void SettingsYearBox::bind(TableObject* record, const QString& field)
{
    if (m_record)
        disconnect(m_record, nullptr, this, nullptr);
    m_record = record;
    m_field = field;
    connect(record, &TableObject::fieldChanged, this, [this](const QString& changed) {
        if (changed.compare(m_field, Qt::CaseInsensitive) == 0)
            showField();
    });
    if (record->isActive())
        showField();
}

void SettingsYearBox::showField()
{
    const QString value = m_record->fieldByName(m_field).asString();
    if (value == currentText())
        return;
    m_syncing = true;
    setEditText(value);
    m_syncing = false;
}

void SettingsYearBox::setYears(const QStringList& years)
{
    const QString text = currentText();
    m_syncing = true;
    clear();
    addItems(years);
    setCurrentIndex(findText(text));
    setEditText(text);
    m_syncing = false;
}

void SettingsYearBox::operatorChanged(const QString& text)
{
    if (m_syncing)
        return;
    if (m_record && m_record->isActive()) {
        // Like any bound control, a change by the operator puts the record into edit mode.
        m_syncing = true;
        ErrorDisplay::guard(this, [&] {
            m_record->edit();
            m_record->setFieldText(m_field, text);
        });
        m_syncing = false;
    }
    emit yearEdited(text);
}
