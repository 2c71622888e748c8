#include "mainwindow/TreePopup.h"

#include <QAction>

TreePopup::TreePopup(QWidget* parent)
    : QMenu(parent), m_edit(addAction(QStringLiteral("编辑(&E)"))), m_backup(nullptr), m_restore(nullptr)
{
    setObjectName(QStringLiteral("PopupMenu1"));
    m_edit->setObjectName(QStringLiteral("E1"));
    addSeparator();
    m_backup = addAction(QStringLiteral("备份(&B)"));
    m_backup->setObjectName(QStringLiteral("B1"));
    m_restore = addAction(QStringLiteral("恢复(&R)"));
    m_restore->setObjectName(QStringLiteral("R1"));
}

void TreePopup::openedAt(int level)
{
    if (level == 1 || level == 2 || level == 3)
        m_level = level;
    const bool enabled = level != 3;
    for (QAction* item : {m_edit, m_backup, m_restore})
        item->setEnabled(enabled);
}
