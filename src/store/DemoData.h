#pragma once

#include <QStringList>

class Database;

// A deterministic sample university: faculties, sections, teachers and their workload rows.
// The same options always give the same rows.
namespace DemoData {

struct Options
{
    int faculties = 3;
    int sectionsPerFaculty = 0; // 0: the hand-made demo organisation (7 sections in all)
    int teachersPerSection = 6;
    int rowsPerTeacher = 5; // rows in the newest year
    QStringList years;      // newest last; rows of older years are fewer (a fifth) unless full
    bool fullOlderYears = false;
    unsigned seed = 20261210;
};

// The demo of `workloadctl init --demo`.
Options demo();
// The benchmark university: every year as full as the newest.
Options synthetic(int faculties, int sections, int teachers, int rows, int years);

// Adds the organisation and workload rows; returns the number of workload rows added.
int generate(Database& db, const Options& options);

} // namespace DemoData
