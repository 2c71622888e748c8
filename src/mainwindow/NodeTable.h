#pragma once

#include <QString>

#include <vector>

class QTreeWidgetItem;

// The main window's table beside the organisation tree: one entry per tree node, numbered from
// 1 (the root), with the node's level and texts. It never grows past its capacity.
class NodeTable
{
public:
    static constexpr int Capacity = 15000;

    struct Entry
    {
        QTreeWidgetItem* node = nullptr;
        int level = 0;
        QString code;        // faculty name; section code; teacher's section code
        QString name;        // section name; teacher's section name
        QString extra;       // section's faculty name; teacher name
        QString teacherCode; // teacher's own code (teachers only)
    };

    void clear() { m_entries.clear(); }
    bool isFull() const { return int(m_entries.size()) >= Capacity; }
    // Adds an entry and returns its number, or 0 when the table is full.
    int add(Entry entry);
    // Entries in use, the root included.
    int count() const { return int(m_entries.size()); }
    // The entry with the given number, 1 to count().
    const Entry& at(int number) const { return m_entries.at(size_t(number - 1)); }
    // The entry holding a tree node, or nullptr.
    const Entry* find(const QTreeWidgetItem* node) const;
    // The first teacher after `after` (from the top when null), going round once, whose name or
    // code contains the text (letters in any case); nullptr when none does.
    const Entry* findTeacher(const QString& text, const QTreeWidgetItem* after) const;

    // The entry of a faculty (level 1, by name), a section (level 2, by name and, when given, its
    // faculty's name) or a teacher (level 3, by name and section name and, when given, the faculty
    // of that section); nullptr when the tree has no such node.
    const Entry* findNode(int level, const QString& faculty, const QString& section, const QString& teacher) const;

private:
    std::vector<Entry> m_entries;
};
