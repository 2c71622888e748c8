#include "gui/MessageBox.h"
#include "session/Operators.h"
#include "session/Session.h"
#include "shell/PasswordDialog.h"
#include "support/TestStore.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// The dialog of operator 001, logged in with the default password.
struct Fixture
{
    Fixture() : dialog(store.data(), session)
    {
        session.OperatorCode = QStringLiteral("001");
        session.OperatorPassword = QStringLiteral("123456");
        MessageBox::setScripted(true);
        MessageBox::clearShown();
        dialog.show();
    }

    QLineEdit* box(const char* name) { return dialog.findChild<QLineEdit*>(QLatin1String(name)); }
    void fill(const QString& old, const QString& fresh, const QString& confirm)
    {
        box("edOldPassword")->setText(old);
        box("edNewPassword")->setText(fresh);
        box("edNewPassword1")->setText(confirm);
    }
    void ok() { dialog.findChild<QPushButton*>(QStringLiteral("btnOK"))->click(); }
    bool logsIn(const QString& password)
    {
        return Operators(store.data()).login(QStringLiteral("001"), password).has_value();
    }

    TestStore store;
    Session session;
    PasswordDialog dialog;
};

} // namespace

class TestPasswordDialog : public QObject
{
    Q_OBJECT
private slots:
    void opensFilled()
    {
        Fixture f;
        QCOMPARE(f.dialog.windowTitle(), QStringLiteral("修改口令"));
        QCOMPARE(f.box("edOCode")->text(), QStringLiteral("001"));
        QVERIFY(f.box("edOCode")->isReadOnly() && !f.box("edOCode")->isEnabled());
        for (const char* name : {"edOldPassword", "edNewPassword", "edNewPassword1"}) {
            QCOMPARE(f.box(name)->text(), QString());
            QCOMPARE(f.box(name)->echoMode(), QLineEdit::Password);
        }
        QCOMPARE(f.dialog.focusWidget(), f.box("edOldPassword"));
    }

    void accepted_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("plain") << "abc123"
                               << "abc123";
        QTest::newRow("surrounding blanks and a tab trimmed") << "  新口令\t "
                                                              << "新口令";
        QTest::newRow("both empty: no password") << ""
                                                 << "";
        QTest::newRow("twenty characters") << "12345678901234567890"
                                           << "12345678901234567890";
    }
    void accepted()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        Fixture f;
        f.fill(QStringLiteral("123456"), typed, typed);
        f.ok();
        QVERIFY(MessageBox::shown().empty());
        QVERIFY(!f.dialog.isVisible());
        QCOMPARE(f.session.OperatorPassword, stored);
        QVERIFY(f.logsIn(stored));
        QVERIFY(!f.logsIn(QStringLiteral("123456")));
    }

    void refused_data()
    {
        QTest::addColumn<QString>("old");
        QTest::addColumn<QString>("fresh");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("text");
        QTest::newRow("the two new ones differ") << "123456"
                                                 << "a1"
                                                 << "a2" << PasswordDialog::Mismatch;
        QTest::newRow("wrong old password") << "654321"
                                            << "a1"
                                            << "a1" << PasswordDialog::Mismatch;
        QTest::newRow("old one with a trailing blank") << "123456 "
                                                       << "a1"
                                                       << "a1" << PasswordDialog::Mismatch;
        QTest::newRow("longer than the login box takes") << "123456"
                                                         << "123456789012345678901"
                                                         << "123456789012345678901" << PasswordDialog::TooLong;
    }
    void refused()
    {
        QFETCH(QString, old);
        QFETCH(QString, fresh);
        QFETCH(QString, confirm);
        QFETCH(QString, text);
        Fixture f;
        f.fill(old, fresh, confirm);
        f.ok();
        QCOMPARE(MessageBox::shown().size(), size_t(1));
        const MessageBox::Shown& shown = MessageBox::shown().front();
        QCOMPARE(shown.caption, QStringLiteral("警告"));
        QCOMPARE(shown.text, text);
        QCOMPARE(shown.icon, MessageBox::Warning);
        QVERIFY(f.dialog.isVisible());
        QCOMPARE(f.dialog.focusWidget(), f.box("edNewPassword1"));
        QCOMPARE(f.box("edNewPassword")->text(), fresh);
        QCOMPARE(f.session.OperatorPassword, QStringLiteral("123456"));
        QVERIFY(f.logsIn(QStringLiteral("123456")));
    }

    void twoChangesInOneRun()
    {
        Fixture f;
        f.fill(QStringLiteral("123456"), QStringLiteral("first"), QStringLiteral("first"));
        f.ok();
        f.dialog.show();
        f.fill(QStringLiteral("123456"), QStringLiteral("second"), QStringLiteral("second"));
        f.ok();
        QCOMPARE(MessageBox::shown().size(), size_t(1)); // the first password is the old one now
        MessageBox::clearShown();
        f.fill(QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("second"));
        f.ok();
        QVERIFY(MessageBox::shown().empty());
        QVERIFY(f.logsIn(QStringLiteral("second")));
        QVERIFY(!f.logsIn(QStringLiteral("first")));
    }

    void enterMovesOnAndFinallyPresses()
    {
        Fixture f;
        QTest::keyClicks(f.box("edOldPassword"), QStringLiteral("123456"));
        QTest::keyClick(f.box("edOldPassword"), Qt::Key_Return);
        QCOMPARE(f.dialog.focusWidget(), f.box("edNewPassword"));
        QTest::keyClicks(f.box("edNewPassword"), QStringLiteral("next"));
        QTest::keyClick(f.box("edNewPassword"), Qt::Key_Return);
        QCOMPARE(f.dialog.focusWidget(), f.box("edNewPassword1"));
        QTest::keyClicks(f.box("edNewPassword1"), QStringLiteral("next"));
        QTest::keyClick(f.box("edNewPassword1"), Qt::Key_Return);
        auto* ok = f.dialog.findChild<QPushButton*>(QStringLiteral("btnOK"));
        QCOMPARE(f.dialog.focusWidget(), ok);
        QVERIFY(f.dialog.isVisible()); // Enter in the boxes never saves by itself
        QTest::keyClick(ok, Qt::Key_Return);
        QVERIFY(!f.dialog.isVisible());
        QVERIFY(f.logsIn(QStringLiteral("next")));
    }

    // Enter on the focused "取消" (a Tab after "确定") closes the dialog and stores nothing: it does
    // not fall through to "确定".
    void enterOnTheFocusedCancelStoresNothing()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.dialog));
        f.fill(QStringLiteral("123456"), QStringLiteral("next"), QStringLiteral("next"));
        f.box("edNewPassword1")->setFocus();
        QTest::keyClick(f.box("edNewPassword1"), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        auto* cancel = f.dialog.findChild<QPushButton*>(QStringLiteral("btnCancel"));
        QCOMPARE(QApplication::focusWidget(), cancel);
        QTest::keyClick(cancel, Qt::Key_Return);
        QVERIFY(!f.dialog.isVisible());
        QVERIFY(MessageBox::shown().empty());
        QVERIFY(f.logsIn(QStringLiteral("123456")));
        QVERIFY(!f.logsIn(QStringLiteral("next")));
    }
};

QTEST_MAIN(TestPasswordDialog)
#include "tst_password_dialog.moc"
