#include "mainwindow/NodeTable.h"

int NodeTable::add(Entry entry)
{
    if (isFull())
        return 0;
    m_entries.push_back(std::move(entry));
    return count();
}

const NodeTable::Entry* NodeTable::find(const QTreeWidgetItem* node) const
{
    for (const Entry& e : m_entries)
        if (e.node == node)
            return &e;
    return nullptr;
}
