#include "gui/MessageBox.h"
#include "gui/SettingsYearBox.h"
#include "session/Session.h"
#include "shell/LoginDialog.h"
#include "support/TestStore.h"

#include <QApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString Injection = QStringLiteral("' or '1'='1");
const QString Refused = QStringLiteral(" 输入的用户名或口令错误! ");

// The login dialog on a fresh store whose directory is the current one, as at start-up.
class Login
{
public:
    Login()
    {
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_store.dir());
    }
    ~Login()
    {
        m_dialog.reset();
        QDir::setCurrent(m_previous);
    }
    void show()
    {
        m_dialog = std::make_unique<LoginDialog>(m_store.data(), m_session);
        m_spy = std::make_unique<QSignalSpy>(m_dialog.get(), &LoginDialog::loggedIn);
        m_dialog->show();
    }

    TestStore& store() { return m_store; }
    Session& session() { return m_session; }
    LoginDialog& dialog() { return *m_dialog; }
    int loggedIn() const { return int(m_spy->count()); }
    template <class T> T* find(const char* name) { return m_dialog->findChild<T*>(QString::fromLatin1(name)); }

    void type(const QString& code, const QString& password)
    {
        find<QLineEdit>("Code")->clear();
        QTest::keyClicks(find<QLineEdit>("Code"), code);
        QTest::keyClicks(find<QLineEdit>("Password"), password);
    }
    QString storedYear() { return m_store.scalar(QStringLiteral("select Nd from system")); }

private:
    TestStore m_store;
    Session m_session;
    QString m_previous;
    std::unique_ptr<LoginDialog> m_dialog;
    std::unique_ptr<QSignalSpy> m_spy;
};

} // namespace

class TestLogin : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        MessageBox::setScripted(true);
        MessageBox::clearShown();
    }

    void opensWithItsDefaults()
    {
        Login login;
        login.show();
        QCOMPARE(login.dialog().windowTitle(), QStringLiteral("输入口令"));
        QCOMPARE(login.find<QLineEdit>("Code")->text(), QStringLiteral("001"));
        QCOMPARE(login.find<QLineEdit>("Code")->maxLength(), 20);
        QCOMPARE(login.find<QLineEdit>("Password")->text(), QString());
        QCOMPARE(login.find<QLineEdit>("Password")->echoMode(), QLineEdit::Password);
        QCOMPARE(login.dialog().focusWidget(), login.find<QLineEdit>("Code"));
        QVERIFY(login.find<QPushButton>("BitBtn1")->isDefault());
        auto* years = login.find<SettingsYearBox>("DBComboBox2");
        QCOMPARE(years->count(), 4);
        QCOMPARE(years->itemText(0), QStringLiteral("2023-2024学年"));
        QCOMPARE(years->currentText(), QStringLiteral("2026-2027学年"));
        if (!login.store().location().isServer()) {
            QCOMPARE(login.session().DataDir, QDir::currentPath());
            QCOMPARE(QDir(login.session().DataDir), QDir(login.store().dir()));
        }
        QVERIFY(MessageBox::shown().empty());
    }

    void refused_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("operators"); // statement run on user1 first
        QTest::newRow("wrong password") << "001"
                                        << "654321" << QString();
        QTest::newRow("unknown code") << "003"
                                      << "123456" << QString();
        QTest::newRow("code with a trailing space") << "001 "
                                                    << "123456" << QString();
        QTest::newRow("two operators with one code and password")
            << "001"
            << "123456"
            << "insert into user1 (name,password1,gl1) values ('001','123456',1)";
        QTest::newRow("injection, one operator") << Injection << Injection << "delete from user1 where name='002'";
        QTest::newRow("injection, two operators") << Injection << Injection << QString();
        QTest::newRow("injection in the password, one operator")
            << "001" << Injection << "delete from user1 where name='002'";
        QTest::newRow("injection in the password, two operators") << "001" << Injection << QString();
    }
    void refused()
    {
        QFETCH(QString, code);
        QFETCH(QString, password);
        QFETCH(QString, operators);
        Login login;
        if (!operators.isEmpty())
            login.store().db().execute(operators);
        login.show();
        // Another year chosen: it must not reach the store.
        QTest::keyClick(login.find<SettingsYearBox>("DBComboBox2"), Qt::Key_Up);
        QCOMPARE(login.find<SettingsYearBox>("DBComboBox2")->currentText(), QStringLiteral("2025-2026学年"));
        login.type(code, password);
        login.find<QPushButton>("BitBtn1")->click();

        QCOMPARE(MessageBox::shown().size(), size_t(1));
        QCOMPARE(MessageBox::shown().front().text, Refused);
        QCOMPARE(MessageBox::shown().front().caption, QStringLiteral("错误"));
        QCOMPARE(MessageBox::shown().front().icon, MessageBox::Error);
        QCOMPARE(login.loggedIn(), 0);
        QVERIFY(login.dialog().isVisible());
        QCOMPARE(login.find<QLineEdit>("Password")->text(), password);
        QCOMPARE(login.session().OperatorCode, QString());
        QCOMPARE(login.session().ParamRight, false);
        QCOMPARE(login.storedYear(), QStringLiteral("2026-2027学年"));

        // Leaving now stores nothing either.
        QSignalSpy rejected(&login.dialog(), &QDialog::rejected);
        QTest::keyClick(&login.dialog(), Qt::Key_Escape);
        QCOMPARE(rejected.count(), 1);
        QVERIFY(!login.dialog().isVisible());
        QCOMPARE(login.storedYear(), QStringLiteral("2026-2027学年"));
    }

    void accepted_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("right");
        QTest::newRow("operator with the parameter right") << "001" << true;
        QTest::newRow("operator without it") << "002" << false;
    }
    void accepted()
    {
        QFETCH(QString, code);
        QFETCH(bool, right);
        Login login;
        login.show();
        QTest::keyClick(login.find<SettingsYearBox>("DBComboBox2"), Qt::Key_Up);
        login.type(code, QStringLiteral("123456"));
        QTest::keyClick(login.find<QLineEdit>("Password"), Qt::Key_Return); // the default button

        QVERIFY(MessageBox::shown().empty());
        QCOMPARE(login.loggedIn(), 1);
        QVERIFY(!login.dialog().isVisible());
        QCOMPARE(login.session().OperatorCode, code);
        QCOMPARE(login.session().OperatorPassword, QStringLiteral("123456"));
        QCOMPARE(login.session().ParamRight, right);
        QCOMPARE(login.storedYear(), QStringLiteral("2025-2026学年"));
    }

    // Enter on a focused button presses that button: on "确定" it logs in, on "退出" it leaves (it
    // does not fall through to the default "确定").
    void enterOnTheFocusedButton_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("loggedIn");
        QTest::newRow("确定") << "BitBtn1" << 1;
        QTest::newRow("退出") << "BitBtn2" << 0;
    }
    void enterOnTheFocusedButton()
    {
        QFETCH(QString, button);
        QFETCH(int, loggedIn);
        Login login;
        login.show();
        QVERIFY(QTest::qWaitForWindowActive(&login.dialog()));
        QSignalSpy rejected(&login.dialog(), &QDialog::rejected);
        login.type(QStringLiteral("001"), QStringLiteral("123456"));
        auto* focused = login.find<QPushButton>(button.toLatin1().constData());
        focused->setFocus(Qt::TabFocusReason);
        QTest::keyClick(focused, Qt::Key_Return);
        QCOMPARE(login.loggedIn(), loggedIn);
        QCOMPARE(rejected.count(), 1 - loggedIn);
        QVERIFY(!login.dialog().isVisible());
    }

    void typedYearOutsideTheListIsStored()
    {
        Login login;
        login.show();
        QLineEdit* year = login.find<SettingsYearBox>("DBComboBox2")->lineEdit();
        year->clear();
        QTest::keyClicks(year, QStringLiteral("2030-2031"));
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("学年"));
        QApplication::sendEvent(year, &commit);
        login.type(QStringLiteral("001"), QStringLiteral("123456"));
        login.find<QPushButton>("BitBtn1")->click();
        QCOMPARE(login.loggedIn(), 1);
        QCOMPARE(login.storedYear(), QStringLiteral("2030-2031学年"));
    }

    void storeErrorsAreShownAndTheDialogStays()
    {
        Login login;
        login.store().db().execute(QStringLiteral("drop table user1"));
        login.show();
        login.type(QStringLiteral("001"), QStringLiteral("123456"));
        login.find<QPushButton>("BitBtn1")->click();
        QCOMPARE(MessageBox::shown().size(), size_t(1));
        QCOMPARE(MessageBox::shown().front().caption, QStringLiteral("错误"));
        QVERIFY(MessageBox::shown().front().text.contains(QStringLiteral("user1")));
        QCOMPARE(login.loggedIn(), 0);
        QVERIFY(login.dialog().isVisible());
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
