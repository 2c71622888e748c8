#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class SettingsYearBox;

// The login dialog "输入口令": chooses the academic year and checks the operator code and
// password against user1. On success it stores the settings record, hides itself and reports
// loggedIn(); leaving it any other way rejects it.
class TfmpwdF : public QDialog
{
    Q_OBJECT
public:
    explicit TfmpwdF(QWidget* parent = nullptr);
    ~TfmpwdF() override;

    // When shown: the data directory, the settings record in edit mode, the year list.
    void FormShow();
    // "确定".
    void BitBtn1Click();

signals:
    void loggedIn();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* m_code;
    QLineEdit* m_password;
    QPushButton* m_ok;
    QPushButton* m_quit;
    SettingsYearBox* m_year;
};

// The process's one login dialog, set while it exists.
extern TfmpwdF* fmpwdF;
