#pragma once

#include <QString>

// The table-driven workload calculation. Every coefficient, formula and condition is a row of
// sysparameter, spliced into update statements over the workload rows that `filter` selects;
// the teacher list of the totals comes from the login state's NodeFilter. Runs through the data
// module's holders Query1, Query2 and xssj2, as one transaction: a refused statement undoes
// the whole run and comes back as a StoreError carrying the store's text and the statement.
struct CalculationSummary
{
    int teachersUpdated = 0;
    int rowsTouched = 0;
};

CalculationSummary CalculateWorkload(const QString& filter);

// Every faculty of a year in turn, each as its tree node would be calculated (its YearFilter and
// NodeFilter, left in the login state) and in a run (a transaction) of its own. `faculties`, when
// given, receives the number of faculties calculated.
CalculationSummary CalculateAllFaculties(const QString& year, int* faculties = nullptr);
