#pragma once

#include "gui/RefillingDialog.h"

class DataModule;
class QLineEdit;
class QPushButton;
class SettingsYearBox;
struct Session;

// The login dialog "输入口令": chooses the academic year and checks the operator code and
// password against user1, filling the session. On success it stores the settings record, hides itself and reports
// loggedIn(); leaving it any other way rejects it.
class LoginDialog : public RefillingDialog
{
    Q_OBJECT
public:
    LoginDialog(DataModule& data, Session& session, QWidget* parent = nullptr);

    // When shown: the data directory, the settings record in edit mode, the year list.
    void refill() override;
    // "确定".
    void onOkClicked();

signals:
    void loggedIn();

private:
    DataModule& m_data;
    Session& m_session;
    QLineEdit* m_code;
    QLineEdit* m_password;
    QPushButton* m_ok;
    QPushButton* m_quit;
    SettingsYearBox* m_year;
};
