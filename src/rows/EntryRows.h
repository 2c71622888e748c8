#pragma once

#include "rows/RowField.h"
#include "store/WorkloadCategories.h"

#include <QList>
#include <QString>

// What the theory/lab and practice entry dialogs (and `workloadctl row add`) write for a row, as
// typed: the field tables of the two kinds of row and the checks of the amounts before a save.
namespace EntryRows {

struct Theory
{
    bool arranged = true;   // "按要求排课": 是 (gm 0) or 否 (gm 1)
    bool reportsSet = true; // "实验报告": 有 (bg 0) or 无 (bg 1)
    QString yan;            // the student type
    QString banji;
    QString r1;
    QString kname;
    QString t1;
    QString shuoming; // the course type
    QString r2;
    QString t2;
    QString fzs;
};

struct Practice
{
    WorkloadCategories::Id kind = WorkloadCategories::Id::Internship;
    bool arranged = true;
    QString banji;
    QString r3;
    QString kname;
    QString w;
    QString shuoming; // the practice type
    QString yan;
    QString r33;
    QString r32;
    QString q32;
    QString q33;
};

// The teacher's columns stay empty: the save fills them in from the store.
QList<RowField> theoryFields(const Theory& row, const QString& year);
QList<RowField> practiceFields(const Practice& row, const QString& year);

// Theory hours, then lab hours, then students: the first positive one passes; a field that is not
// a whole number ends the check where it is reached.
bool theoryAmountsPass(const Theory& row);
// Weeks, then students, then graduation-design students, then supervised students: the first
// positive one passes. `malformed` tells a field that is not a number (the dialog says so).
bool practiceAmountsPass(const Practice& row, bool* malformed = nullptr);

} // namespace EntryRows
