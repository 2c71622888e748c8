#pragma once

#include "masterdata/Outcome.h"

#include <QString>
#include <QStringList>

#include <optional>

class DataModule;

// The teachers of the sections (table rydm). Workload rows carry a teacher's name, title, nature
// and post as text, so an edit is carried into the teacher's rows of every year in one transaction
// with the edit; a teacher is deleted only while no workload row names the teacher in the section.
class Teachers
{
public:
    struct Teacher
    {
        QString code;   // rydm
        QString name;   // rymc
        QString title;  // ryzc
        QString nature; // ryxz
        QString post;   // rygw
    };

    // What an edit changes: the values given; the others stay as they are.
    struct Change
    {
        std::optional<QString> code;
        std::optional<QString> name;
        std::optional<QString> title;
        std::optional<QString> nature;
        std::optional<QString> post;

        Teacher appliedTo(const Teacher& teacher) const;
    };

    // A teacher with the section the teacher belongs to (empty names when the section is gone).
    struct Row
    {
        Teacher teacher;
        QString sectionCode; // rydm.bmdm
        QString sectionName; // bmmc
        QString faculty;     // ybmc
    };

    // The offered titles, natures and posts, and what a new teacher gets when none is chosen.
    static const QStringList& titles();
    static const QStringList& natures();
    static const QStringList& posts();
    static Teacher defaults();

    explicit Teachers(DataModule& data) : m_data(data) {}

    // The teacher screen's list: dtrydm on the teachers of a section (joined with it) by code.
    // Returns their number.
    int openList(const QString& sectionCode);
    // dtrydm on every teacher by section code and code, with the section's name where there is one.
    int openAll();
    std::optional<Row> find(const QString& code);
    // Whether a teacher of this name belongs to a section of that name.
    bool existsInSection(const QString& name, const QString& sectionName);

    // Files a new teacher under a section; refused when the section does not exist or the code
    // exists.
    Outcome add(const QString& sectionCode, const Teacher& teacher);
    // Gives the teacher of `oldCode` new values and carries name, title, nature and post into the
    // teacher's workload rows. The section stays.
    Outcome edit(const QString& oldCode, const Teacher& teacher);
    Outcome amend(const QString& oldCode, const Change& change);
    // A store error of the delete itself is not caught.
    Outcome remove(const QString& code);

private:
    bool sectionExists(const QString& sectionCode);
    bool codeTaken(const QString& code);

    DataModule& m_data;
};
