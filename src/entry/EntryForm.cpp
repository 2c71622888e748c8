#include "entry/EntryForm.h"

#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

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

void EntryForm::place(int row, int column, const QString& caption, QWidget* input)
{
    auto* label = new QLabel(caption, m_dialog);
    label->setBuddy(input);
    m_grid->addWidget(label, row, column * 2, Qt::AlignRight);
    m_grid->addWidget(input, row, column * 2 + 1);
}

void EntryForm::finish(QPushButton* ok, QPushButton* cancel, const QList<QWidget*>& tabOrder)
{
    ok->setObjectName(QStringLiteral("BitBtn1"));
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    // Enter in an input moves on (the Enter chain); Enter on a focused button presses that button,
    // and the focused one is drawn as the default.
    ok->setAutoDefault(true);
    cancel->setAutoDefault(true);
    m_grid->setColumnStretch(1, 2);
    m_grid->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(m_dialog);
    layout->addLayout(m_grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    for (int i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
}
