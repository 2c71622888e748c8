#include "gui/EnterKeyChain.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

EnterKeyChain::EnterKeyChain(QObject* parent) : QObject(parent) {}

void EnterKeyChain::link(QWidget* from, QWidget* to)
{
    m_next.insert(from, to);
    from->installEventFilter(this);
    // An editable drop-down forwards its keys to its line edit; catch them there as well.
    if (auto* combo = qobject_cast<QComboBox*>(from); combo && combo->lineEdit()) {
        m_next.insert(combo->lineEdit(), to);
        combo->lineEdit()->installEventFilter(this);
    }
}

bool EnterKeyChain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    const auto it = m_next.constFind(watched);
    if (it == m_next.constEnd())
        return false;
    if (event->type() == QEvent::KeyPress && it.value()->isEnabled()) {
        // A move by the keyboard, as Tab is: the style then draws where the focus went (the
        // focus ring of a button).
        it.value()->window()->setAttribute(Qt::WA_KeyboardFocusChange);
        it.value()->setFocus(Qt::OtherFocusReason);
    }
    return true; // Enter never reaches the dialog's default button
}
