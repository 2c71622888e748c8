#include "mainwindow/TreePlace.h"

#include <QTreeWidget>

QString TreePlace::identity(const NodeTable::Entry& entry)
{
    // The root's caption follows the year: the root is the root whatever the year.
    if (entry.level == 0)
        return QStringLiteral("0");
    return QStringList{QString::number(entry.level), entry.code, entry.name, entry.extra, entry.teacherCode}.join(
        QChar(0x1f));
}

TreePlace TreePlace::note(const QTreeWidget& tree, const NodeTable& nodes)
{
    TreePlace place;
    const QTreeWidgetItem* current = tree.currentItem();
    for (int n = 1; n <= nodes.count(); ++n) {
        const NodeTable::Entry& e = nodes.at(n);
        if (e.node->isExpanded())
            place.m_open.insert(identity(e));
        if (e.node == current)
            place.m_current = identity(e);
    }
    return place;
}

QTreeWidgetItem* TreePlace::restore(QTreeWidget& tree, const NodeTable& nodes) const
{
    QTreeWidgetItem* current = nullptr;
    for (int n = 1; n <= nodes.count(); ++n) {
        const NodeTable::Entry& e = nodes.at(n);
        const QString id = identity(e);
        if (m_open.contains(id))
            e.node->setExpanded(true);
        if (!current && !m_current.isEmpty() && id == m_current)
            current = e.node;
    }
    if (!current)
        return nullptr;
    for (QTreeWidgetItem* up = current->parent(); up; up = up->parent())
        up->setExpanded(true);
    tree.setCurrentItem(current);
    tree.scrollToItem(current);
    return current;
}
