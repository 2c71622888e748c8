#pragma once

#include "masterdata/Outcome.h"

#include <QString>

#include <optional>

class DataModule;

// The teaching-research sections of the faculties (table bmdm). Teachers name their section by
// code, workload rows by name (with the faculty's name): a change of code or name is carried
// into both, and into the settings record, in one transaction with the change itself. A section
// is deleted only while no workload row names it and no teacher belongs to it.
class Sections
{
public:
    struct Row
    {
        QString code;    // bmdm
        QString name;    // bmmc
        QString faculty; // ybmc
    };

    explicit Sections(DataModule& data) : m_data(data) {}

    // The section screen's list: dtbmdm on the sections of a faculty by code. Returns their number.
    int openList(const QString& faculty);
    // dtbmdm on every section, by faculty and code.
    int openAll();
    std::optional<Row> find(const QString& code);
    // Whether a section of any faculty has this name (the tree and the workload rows name a
    // section by its name).
    bool existsNamed(const QString& name);

    // Files a new section under a faculty; refused when the faculty does not exist or the code
    // exists in any faculty.
    Outcome add(const QString& faculty, const QString& code, const QString& name);
    // Gives the section of `oldCode` a code and a name; its faculty stays.
    Outcome edit(const QString& oldCode, const QString& code, const QString& name);
    // The same, changing only what is given.
    Outcome amend(const QString& oldCode, const std::optional<QString>& code, const std::optional<QString>& name);
    // A store error of the delete itself is not caught.
    Outcome remove(const QString& code);

private:
    bool facultyExists(const QString& faculty);
    bool codeTaken(const QString& code);

    DataModule& m_data;
};
