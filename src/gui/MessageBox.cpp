#include "gui/MessageBox.h"

#include <QPushButton>

std::deque<MessageBox::Answer> MessageBox::s_answers;
std::deque<MessageBox::Shown> MessageBox::s_shown;
bool MessageBox::s_scripted = false;

MessageBox::Answer MessageBox::show(QWidget* parent, const QString& caption, const QString& text, Icon icon,
                                    Buttons buttons, const QString& other)
{
    s_shown.push_back({caption, text, icon, buttons, other});
    if (s_scripted) {
        if (s_answers.empty())
            return buttons == YesNo ? AnswerYes : AnswerOk;
        const Answer a = s_answers.front();
        s_answers.pop_front();
        return a;
    }
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    // In the order of Icon.
    static constexpr QMessageBox::Icon qtIcons[] = {QMessageBox::NoIcon, QMessageBox::Information,
                                                    QMessageBox::Question, QMessageBox::Warning, QMessageBox::Critical};
    box.setIcon(qtIcons[icon]);
    QAbstractButton* ok = nullptr;
    QAbstractButton* yes = nullptr;
    QAbstractButton* third = nullptr;
    if (buttons == YesNo) {
        yes = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
        box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
    } else {
        ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        if (buttons == OkOtherCancel)
            third = box.addButton(other, QMessageBox::ActionRole);
        if (buttons == OkCancel || buttons == OkOtherCancel)
            box.setEscapeButton(box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole));
    }
    box.exec();
    if (buttons == YesNo)
        return box.clickedButton() == yes ? AnswerYes : AnswerNo;
    if (third && box.clickedButton() == third)
        return AnswerOther;
    return box.clickedButton() == ok ? AnswerOk : AnswerCancel;
}

MessageBox::Answer MessageBox::choose(QWidget* parent, const QString& text, const QString& other)
{
    return show(parent, QStringLiteral("提示信息"), text, Question, OkOtherCancel, other);
}

void MessageBox::error(QWidget* parent, const QString& text)
{
    show(parent, QStringLiteral("错误"), text, Error, Ok);
}

bool MessageBox::confirm(QWidget* parent, const QString& text)
{
    return show(parent, QStringLiteral("提示信息"), text, NoIcon, OkCancel) == AnswerOk;
}

bool MessageBox::question(QWidget* parent, const QString& text, const QString& caption)
{
    return show(parent, caption, text, Question, OkCancel) == AnswerOk;
}

void MessageBox::information(QWidget* parent, const QString& text, const QString& caption)
{
    show(parent, caption, text, Information, Ok);
}

void MessageBox::setScripted(bool scripted)
{
    s_scripted = scripted;
    s_answers.clear();
    s_shown.clear();
}

void MessageBox::setNextAnswer(Answer answer)
{
    s_answers.push_back(answer);
}

const std::deque<MessageBox::Shown>& MessageBox::shown()
{
    return s_shown;
}

void MessageBox::clearShown()
{
    s_shown.clear();
}
