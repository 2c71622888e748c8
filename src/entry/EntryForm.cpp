#include "entry/EntryForm.h"

#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

EntryForm::EntryForm(QDialog* dialog) : m_dialog(dialog), m_grid(new QGridLayout) {}

QLineEdit* EntryForm::lineEdit(const char* name, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

QComboBox* EntryForm::dropDown(const char* name, const QStringList& items, QWidget* parent)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(items);
    return c;
}

void EntryForm::fillTypes(QComboBox* box, const QStringList& types)
{
    box->clear();
    box->addItems(types);
    box->setEditText(types.value(0));
}

void EntryForm::place(int row, int column, const QString& caption, QWidget* input)
{
    auto* label = new QLabel(caption, m_dialog);
    label->setBuddy(input);
    m_grid->addWidget(label, row, column * 2, Qt::AlignRight);
    m_grid->addWidget(input, row, column * 2 + 1);
}

QGridLayout* EntryForm::finish(const QList<QWidget*>& tabOrder)
{
    m_grid->setColumnStretch(1, 2);
    m_grid->setColumnStretch(3, 1);
    for (int i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
    return m_grid;
}
