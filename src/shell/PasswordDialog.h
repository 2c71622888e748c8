#pragma once

#include "gui/RefillingDialog.h"

class DataModule;
class EnterKeyChain;
class QLineEdit;
class QPushButton;
struct Session;

// "修改口令": the logged-in operator changes the password stored for them. Not modal; refilled
// each time it is shown.
class PasswordDialog : public RefillingDialog
{
    Q_OBJECT
public:
    PasswordDialog(DataModule& data, Session& session, QWidget* parent = nullptr);

    static inline const QString Mismatch = QStringLiteral("两遍新口令不同或者旧口令错误");
    static inline const QString TooLong = QStringLiteral("新口令不能超过20个字符，否则登录时无法输入");

    // When shown: the operator code, three empty password boxes, the focus in the old one.
    void refill() override;
    // "确定".
    void onOkClicked();

private:
    void warn(const QString& text);

    DataModule& m_data;
    Session& m_session;
    QLineEdit* m_code;
    QLineEdit* m_old;
    QLineEdit* m_new;
    QLineEdit* m_confirm;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    EnterKeyChain* m_enter;
};
