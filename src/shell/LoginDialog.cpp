#include "shell/LoginDialog.h"

#include "gui/ButtonRow.h"
#include "gui/ErrorDisplay.h"
#include "gui/FormRows.h"
#include "gui/MessageBox.h"
#include "gui/SettingsYearBox.h"
#include "session/Operators.h"
#include "session/Session.h"
#include "session/YearList.h"
#include "store/DataModule.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

LoginDialog::LoginDialog(DataModule& data, Session& session, QWidget* parent)
    : RefillingDialog(parent), m_data(data), m_session(session), m_code(new QLineEdit(this)),
      m_password(new QLineEdit(this)), m_ok(new QPushButton(QStringLiteral("确定"), this)),
      m_quit(new QPushButton(QStringLiteral("退出"), this)), m_year(new SettingsYearBox(this))
{
    setObjectName(QStringLiteral("fmpwdF"));
    setWindowTitle(QStringLiteral("输入口令"));
    setModal(true);

    m_code->setObjectName(QStringLiteral("Code"));
    m_code->setMaxLength(Operators::MaxCodeLength);
    m_code->setText(QStringLiteral("001"));
    m_password->setObjectName(QStringLiteral("Password"));
    m_password->setMaxLength(Operators::MaxPasswordLength);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // "*"
    m_ok->setObjectName(QStringLiteral("BitBtn1"));
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    m_quit->setObjectName(QStringLiteral("BitBtn2"));
    // Enter on a focused "退出" leaves, rather than falling through to the default "确定".
    m_quit->setAutoDefault(true);
    m_year->setObjectName(QStringLiteral("DBComboBox2"));
    m_year->setMinimumContentsLength(14);

    // The year box stands at the top although it comes last in the tab order.
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(new FormRows({{QStringLiteral("计算年度:"), m_year},
                                    {QStringLiteral("操作员代码:"), m_code},
                                    {QStringLiteral("  口令:"), m_password}}));
    layout->addLayout(new ButtonRow({m_ok, m_quit}));
    setTabOrder(m_code, m_password);
    setTabOrder(m_password, m_ok);
    setTabOrder(m_ok, m_quit);
    setTabOrder(m_quit, m_year);

    connect(m_ok, &QPushButton::clicked, this, [this] { onOkClicked(); });
    connect(m_quit, &QPushButton::clicked, this, &QDialog::reject);
}

void LoginDialog::refill()
{
    // The directory whose store the program opened (--dir, the per-user one, or the current one).
    if (const Database* store = m_data.database())
        m_session.DataDir = store->dataDir();
    m_code->setFocus();
    ErrorDisplay::guard(this, [this] {
        if (!m_year->isBound())
            m_year->bind(m_data.Tbsystem, QStringLiteral("Nd"));
        m_data.Tbsystem->activate();
        m_data.Tbsystem->edit();
        m_year->setYears(YearList::read(m_data));
    });
}

void LoginDialog::onOkClicked()
{
    ErrorDisplay::guard(this, [this] {
        // The code and the password as typed: no trimming, no change of case.
        const std::optional<bool> right = Operators(m_data).login(m_code->text(), m_password->text());
        if (!right) {
            MessageBox::error(this, QStringLiteral(" 输入的用户名或口令错误! "));
            return;
        }
        m_session.OperatorCode = m_code->text();
        m_session.OperatorPassword = m_password->text();
        m_session.ParamRight = *right;
        // On a shared store the operator's own settings record is read now; the year chosen here
        // goes into it.
        const QString year = m_year->currentText();
        m_data.setOperator(m_session.OperatorCode);
        m_data.Tbsystem->activate();
        m_data.Tbsystem->edit();
        m_data.Tbsystem->setFieldText(QStringLiteral("Nd"), year);
        m_data.Tbsystem->post();
        hide();
        emit loggedIn();
    });
}
