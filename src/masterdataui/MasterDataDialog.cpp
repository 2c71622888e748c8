#include "masterdataui/MasterDataDialog.h"

#include "gui/EnterKeyChain.h"
#include "gui/ErrorDisplay.h"
#include "gui/MessageBox.h"
#include "store/DataModule.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

MasterDataDialog::MasterDataDialog(DataModule& data, Query& list, const QString& name, const QString& title,
                                   QWidget* parent)
    : QDialog(parent), m_data(data), m_list(list), m_form(new QFormLayout),
      m_ok(new QPushButton(QStringLiteral("确定"))), m_cancel(new QPushButton(QStringLiteral("放弃"))),
      m_enter(new EnterKeyChain(this))
{
    setObjectName(name);
    setWindowTitle(title);
    m_ok->setObjectName(QStringLiteral("BitBtn1"));
    m_cancel->setObjectName(QStringLiteral("BitBtn2"));
    // Enter in an input moves on (see chainEnter); Enter on a focused button presses that button,
    // as on the other dialogs of the program ("放弃" included: it must not fall through to "确定").
    m_ok->setAutoDefault(true);
    m_cancel->setAutoDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_form);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &MasterDataDialog::onOkClicked);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit* MasterDataDialog::addText(const char* name, const QString& caption)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    edit->setMinimumWidth(200);
    m_form->addRow(caption, edit);
    if (!m_first)
        m_first = edit;
    return edit;
}

QComboBox* MasterDataDialog::addDropDown(const char* name, const QString& caption, const QStringList& items)
{
    // Any typed text is kept as it stands; it does not join the list.
    auto* combo = new QComboBox(this);
    combo->setObjectName(QLatin1String(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    m_form->addRow(caption, combo);
    return combo;
}

void MasterDataDialog::chainEnter(const QList<QWidget*>& inputs)
{
    for (int i = 0; i < inputs.size(); ++i)
        m_enter->link(inputs[i], i + 1 < inputs.size() ? inputs[i + 1] : m_ok);
}

int MasterDataDialog::exec(Mode mode)
{
    m_mode = mode;
    return QDialog::exec();
}

void MasterDataDialog::show(Mode mode)
{
    m_mode = mode;
    QDialog::show();
}

void MasterDataDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        refill();
}

void MasterDataDialog::refill()
{
    ErrorDisplay::guard(this, [this] {
        m_data.dtbmdm1->close();
        if (m_mode == Mode::Edit)
            loadCurrentRow();
        else
            setDefaults();
        if (m_first)
            m_first->setFocus(Qt::OtherFocusReason);
    });
}

void MasterDataDialog::onOkClicked()
{
    ErrorDisplay::guard(this, [this] { saveAndClose(); });
}

void MasterDataDialog::saveAndClose()
{
    const QString oldKey = m_mode == Mode::Edit ? m_list.fieldByName(keyField()).asString() : QString();
    const Outcome outcome = save(m_mode, oldKey);
    if (!outcome.ok()) {
        MessageBox::error(this, outcome.message);
        return;
    }
    m_list.close();
    m_list.open();
    accept();
}
