#include "shell/PasswordDialog.h"

#include "gui/ButtonRow.h"
#include "gui/EnterKeyChain.h"
#include "gui/ErrorDisplay.h"
#include "gui/FormRows.h"
#include "gui/MessageBox.h"
#include "session/Operators.h"
#include "session/Session.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit* passwordBox(const char* name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setEchoMode(QLineEdit::Password);
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // "*"
    return box;
}

// Leading and trailing blanks and control characters go, as a typed password is stored.
QString trimmedPassword(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= u' ')
        ++first;
    while (last > first && text.at(last - 1).unicode() <= u' ')
        --last;
    return text.mid(first, last - first);
}

} // namespace

PasswordDialog::PasswordDialog(DataModule& data, Session& session, QWidget* parent)
    : RefillingDialog(parent), m_data(data), m_session(session), m_code(new QLineEdit(this)),
      m_old(passwordBox("edOldPassword", this)), m_new(passwordBox("edNewPassword", this)),
      m_confirm(passwordBox("edNewPassword1", this)), m_ok(new QPushButton(QStringLiteral("确定"), this)),
      m_cancel(new QPushButton(QStringLiteral("取消"), this)), m_enter(new EnterKeyChain(this))
{
    setObjectName(QStringLiteral("fmChgPwd"));
    setWindowTitle(QStringLiteral("修改口令"));
    m_code->setObjectName(QStringLiteral("edOCode"));
    m_code->setReadOnly(true);
    m_code->setEnabled(false);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    // Enter on a focused button presses that button ("取消" included: it must not fall through to
    // "确定"); in the boxes Enter only moves on.
    m_ok->setAutoDefault(true);
    m_cancel->setAutoDefault(true);

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Bevel1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(new FormRows({{QStringLiteral("操作员代码:"), m_code}}));
    layout->addWidget(line);
    layout->addLayout(new FormRows({{QStringLiteral("旧口令:"), m_old},
                                    {QStringLiteral("新口令:"), m_new},
                                    {QStringLiteral("确认新口令:"), m_confirm}}));
    layout->addLayout(new ButtonRow({m_ok, m_cancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_old, m_new);
    setTabOrder(m_new, m_confirm);
    setTabOrder(m_confirm, m_ok);
    setTabOrder(m_ok, m_cancel);
    m_enter->link(m_old, m_new);
    m_enter->link(m_new, m_confirm);
    m_enter->link(m_confirm, m_ok);

    connect(m_ok, &QPushButton::clicked, this, &PasswordDialog::onOkClicked);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void PasswordDialog::refill()
{
    m_code->setText(m_session.OperatorCode);
    m_old->clear();
    m_new->clear();
    m_confirm->clear();
    m_old->setFocus(Qt::OtherFocusReason);
}

void PasswordDialog::warn(const QString& text)
{
    MessageBox::show(this, QStringLiteral("警告"), text, MessageBox::Warning, MessageBox::Ok);
    m_confirm->setFocus(Qt::OtherFocusReason);
}

void PasswordDialog::onOkClicked()
{
    // Both compared exactly, blanks and case included.
    if (m_new->text() != m_confirm->text() || m_old->text() != m_session.OperatorPassword) {
        warn(Mismatch);
        return;
    }
    const QString newPassword = trimmedPassword(m_new->text());
    // The login box takes no more than this; a longer password would lock the operator out.
    if (newPassword.size() > Operators::MaxPasswordLength) {
        warn(TooLong);
        return;
    }
    if (ErrorDisplay::guard(this, [&] { Operators(m_data).changePassword(m_session, newPassword); }))
        accept();
}
