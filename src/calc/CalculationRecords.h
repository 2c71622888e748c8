#pragma once

#include "session/Selection.h"

#include <QDateTime>
#include <QString>

#include <vector>

class Database;

// The calculations run, kept in `jsjl`: the year, the tree node whose workload rows were
// computed and the time. Written by the calculation in its own transaction, so a run that is
// undone leaves no record; read by whoever has to tell computed figures from rows never
// calculated (an entered 0 of a year never calculated is not a computed 0).
namespace CalculationRecords {

struct Record
{
    QString year;
    Selection::Node node; // Year, Faculty, Section or Teacher (of a section)
    QDateTime at;
};

// Records a calculation of `node` in `year` at `at`.
void write(Database& db, const QString& year, const Selection::Node& node, const QDateTime& at);
// Every record of a year, oldest first.
std::vector<Record> ofYear(Database& db, const QString& year);

} // namespace CalculationRecords
