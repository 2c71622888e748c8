#pragma once

#include "masterdata/Outcome.h"

#include <QString>

class DataModule;

// The faculties (table yuanbu, the name alone). Every section and workload row names its faculty,
// so a rename is carried into the sections, the workload rows of every year and the settings
// record, all in one transaction; a faculty is deleted only while nothing names it.
class Faculties
{
public:
    explicit Faculties(DataModule& data) : m_data(data) {}

    // The faculty screen's list: dtbmdm on every faculty in store order. Returns their number.
    int openList();
    bool exists(const QString& name);

    Outcome add(const QString& name);
    Outcome rename(const QString& oldName, const QString& newName);
    // Refused while workload rows of any year or sections name the faculty. A store error of the
    // delete itself is not caught.
    Outcome remove(const QString& name);

private:
    DataModule& m_data;
};
