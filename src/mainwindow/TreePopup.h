#pragma once

#include <QMenu>

class QAction;

// The organisation tree's popup menu: "编辑(&E)", "备份(&B)", "恢复(&R)". It remembers the level
// of the node it was last opened on (PopupLevel: 0 until then), which decides what "编辑" opens.
class TreePopup : public QMenu
{
    Q_OBJECT
public:
    explicit TreePopup(QWidget* parent = nullptr);

    int PopupLevel() const { return m_level; }
    // Opened on a node of this level (0 root, 1 faculty, 2 section, 3 teacher): a faculty or
    // section becomes the level "编辑" acts on, the root keeps the one before; at a teacher the
    // three items are disabled.
    void openedAt(int level);

    QAction* editAction() const { return m_edit; }
    QAction* backupAction() const { return m_backup; }
    QAction* restoreAction() const { return m_restore; }

private:
    int m_level = 0;
    QAction* m_edit;
    QAction* m_backup;
    QAction* m_restore;
};
