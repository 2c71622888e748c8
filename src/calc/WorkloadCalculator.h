#pragma once

#include <QString>

class DataModule;
struct Selection;

struct CalculationSummary
{
    int teachersUpdated = 0;
    int rowsTouched = 0;
};

// The table-driven workload calculation. Every coefficient, formula and condition is a row of
// sysparameter, spliced into update statements over the workload rows that the selection's
// YearFilter picks; the teachers whose totals are summed are those of its NodeFilter. Runs
// through the data module's holders Query1, Query2 and xssj2, as one transaction: a refused
// statement undoes the whole run and comes back as a StoreError carrying the store's text and
// the statement.
class WorkloadCalculator
{
public:
    explicit WorkloadCalculator(DataModule& data) : m_data(data) {}

    CalculationSummary calculate(const Selection& selection);

    // Every faculty of a year in turn, each as its tree node would be calculated. `faculties`,
    // when given, receives the number of faculties calculated.
    CalculationSummary calculateYear(const QString& year, int* faculties = nullptr);

private:
    void courseTypeStage(const QString& filter, CalculationSummary& summary);
    void formulaStages(const QString& filter, CalculationSummary& summary);
    void totalsStage(const Selection& selection, CalculationSummary& summary);

    DataModule& m_data;
};
