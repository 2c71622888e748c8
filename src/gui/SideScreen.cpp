#include "gui/SideScreen.h"

#include "gui/ButtonRow.h"
#include "gui/Named.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QShowEvent>

SideScreen::SideScreen(const QString& action, QWidget* parent)
    : QWidget(parent, Qt::Dialog), m_action(named(new QPushButton(action), "BitBtn1")),
      m_return(named(new QPushButton(QStringLiteral("返回")), "BitBtn2"))
{
    m_action->setDefault(true);
    // Enter on a focused button presses it (outside a dialog class buttons do not take Enter).
    m_action->setAutoDefault(true);
    m_return->setAutoDefault(true);
    connect(m_return, &QPushButton::clicked, this, &QWidget::close);
}

QLayout* SideScreen::buttonRow() const
{
    return new ButtonRow({m_action, m_return});
}

void SideScreen::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        refill();
    QWidget::showEvent(event);
}

void SideScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Cancel))
        close();
    else
        QWidget::keyPressEvent(event);
}
