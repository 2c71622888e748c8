#pragma once

#include <QMessageBox>
#include <QString>

#include <deque>

class QWidget;

// Every message box of the program goes through here. Tests queue the answers and read back
// what was shown; then no real box opens.
class MessageBox
{
public:
    enum Icon
    {
        NoIcon,
        Information,
        Question,
        Warning,
        Error
    };
    enum Buttons
    {
        Ok,
        OkCancel,
        YesNo,
        OkOtherCancel // OK, a button of the caller's words, Cancel
    };
    enum Answer
    {
        AnswerOk,
        AnswerCancel,
        AnswerYes,
        AnswerNo,
        AnswerOther
    };

    struct Shown
    {
        QString caption;
        QString text;
        Icon icon;
        Buttons buttons;
        QString other; // the words of the third button of OkOtherCancel
    };

    static Answer show(QWidget* parent, const QString& caption, const QString& text, Icon icon, Buttons buttons,
                       const QString& other = {});

    // "错误", error icon, OK.
    static void error(QWidget* parent, const QString& text);
    // "提示信息", no icon, OK/Cancel; true on OK: the program's confirmations.
    static bool confirm(QWidget* parent, const QString& text);
    // "提示信息", OK/Cancel; true on OK.
    static bool question(QWidget* parent, const QString& text, const QString& caption = QStringLiteral("提示信息"));
    // "提示信息", OK, `other` and Cancel: AnswerOk, AnswerOther or AnswerCancel.
    static Answer choose(QWidget* parent, const QString& text, const QString& other);
    // "提示信息", OK.
    static void information(QWidget* parent, const QString& text, const QString& caption = QStringLiteral("提示信息"));

    // Scripting for tests: answers are used in order; with scripting on and the queue empty, OK is answered.
    static void setScripted(bool scripted);
    static void setNextAnswer(Answer answer);
    static const std::deque<Shown>& shown();
    static void clearShown();

private:
    static std::deque<Answer> s_answers;
    static std::deque<Shown> s_shown;
    static bool s_scripted;
};
