#pragma once

#include <QString>

#include <vector>

class DataModule;

// The organisation as the main window shows it: the tree of faculties, their sections and the
// sections' teachers, and the teacher lists of a faculty or a section.
class Organisation
{
public:
    struct Node
    {
        int level = 0;       // 1 faculty, 2 section, 3 teacher
        QString code;        // faculty name; section code; teacher's section code
        QString name;        // section name; teacher's section name
        QString extra;       // section's faculty name; teacher name
        QString teacherCode; // teacher's own code (teachers only)
    };

    explicit Organisation(DataModule& data) : m_data(data) {}

    // Faculties in store order, each followed by its sections, each followed by its teachers: at
    // most `limit` nodes. `truncated` tells whether there were more.
    std::vector<Node> readTree(int limit, bool* truncated = nullptr);

    // Opens dtrydm on the teachers of a faculty or a section; returns their number.
    int listFacultyTeachers(const QString& faculty);
    int listSectionTeachers(const QString& section);

private:
    int listTeachers(const QString& condition);

    DataModule& m_data;
};
