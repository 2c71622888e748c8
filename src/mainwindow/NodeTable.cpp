#include "mainwindow/NodeTable.h"

#include <QTreeWidgetItem>

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

const NodeTable::Entry* NodeTable::findTeacher(const QString& text, const QTreeWidgetItem* after) const
{
    const QString wanted = text.trimmed();
    if (wanted.isEmpty() || m_entries.empty())
        return nullptr;
    size_t start = 0;
    for (size_t i = 0; after && i < m_entries.size(); ++i) {
        if (m_entries[i].node == after) {
            start = i + 1;
            break;
        }
    }
    for (size_t n = 0; n < m_entries.size(); ++n) {
        const Entry& e = m_entries[(start + n) % m_entries.size()];
        if (e.level == 3 &&
            (e.extra.contains(wanted, Qt::CaseInsensitive) || e.teacherCode.contains(wanted, Qt::CaseInsensitive)))
            return &e;
    }
    return nullptr;
}

const NodeTable::Entry* NodeTable::findNode(int level, const QString& faculty, const QString& section,
                                            const QString& teacher) const
{
    for (const Entry& e : m_entries) {
        if (e.level != level)
            continue;
        if (level == 1 && e.code == faculty)
            return &e;
        if (level == 2 && e.name == section && (faculty.isEmpty() || e.extra == faculty))
            return &e;
        if (level == 3 && e.extra == teacher && e.name == section) {
            const Entry* up = e.node ? find(e.node->parent()) : nullptr;
            if (faculty.isEmpty() || (up && up->extra == faculty))
                return &e;
        }
    }
    return nullptr;
}
