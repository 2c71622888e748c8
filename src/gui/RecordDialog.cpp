#include "gui/RecordDialog.h"

#include "gui/ButtonRow.h"
#include "gui/EnterKeyChain.h"
#include "gui/ErrorDisplay.h"

#include <QPushButton>
#include <QVBoxLayout>

RecordDialog::RecordDialog(QWidget* parent)
    : RefillingDialog(parent), m_ok(new QPushButton(QStringLiteral("确定"), this)),
      m_cancel(new QPushButton(QStringLiteral("放弃"), this)), m_enter(new EnterKeyChain(this))
{
    m_ok->setObjectName(QStringLiteral("BitBtn1"));
    m_cancel->setObjectName(QStringLiteral("BitBtn2"));
    // Enter in an input moves on (the dialog's Enter chain); Enter on a focused button presses
    // that button ("放弃" included: it must not fall through to "确定"), and the focused one is
    // drawn as the default.
    m_ok->setAutoDefault(true);
    m_cancel->setAutoDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &RecordDialog::onOkClicked);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int RecordDialog::exec(Mode mode)
{
    m_mode = mode;
    return QDialog::exec();
}

void RecordDialog::show(Mode mode)
{
    m_mode = mode;
    QDialog::show();
}

void RecordDialog::onOkClicked()
{
    ErrorDisplay::guard(this, [this] { saveAndClose(); });
}

void RecordDialog::layOut(QLayout* inputs)
{
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(inputs);
    layout->addSpacing(8);
    layout->addLayout(new ButtonRow({m_ok, m_cancel}));
}

void RecordDialog::enterMovesOn(QWidget* from, QWidget* to)
{
    m_enter->link(from, to);
}
