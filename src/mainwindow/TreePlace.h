#pragma once

#include "mainwindow/NodeTable.h"

#include <QSet>
#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

// Where the operator was in the organisation tree: the selected node and the open branches, by
// what the nodes stand for (level and texts), so that a rebuilt tree opens the same branches and
// selects the same node again when it is still there.
class TreePlace
{
public:
    // The place in the tree as it stands, before it is cleared.
    static TreePlace note(const QTreeWidget& tree, const NodeTable& nodes);

    // Opens the noted branches of the rebuilt tree and makes the noted node current again, with
    // the branches above it open; the node selected, or null when it is gone.
    QTreeWidgetItem* restore(QTreeWidget& tree, const NodeTable& nodes) const;

private:
    static QString identity(const NodeTable::Entry& entry);

    QSet<QString> m_open;
    QString m_current;
};
