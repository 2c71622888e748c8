#pragma once

#include "calc/FiniteResults.h"
#include "store/Database.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class DataModule;
class Database;
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
// the statement. While it runs, statements may read and write only what a calculation does, and
// each may take at most a step budget (see grant()).
class WorkloadCalculator
{
public:
    explicit WorkloadCalculator(DataModule& data) : m_data(data) {}

    // Checked first, under the write lock of the calculation's transaction: false ends the run
    // before it begins, with nothing changed (an empty summary). A caller checks there that the
    // node it was given is still in the store.
    using Precondition = std::function<bool()>;

    // A node whose selection finds no teacher is refused (StoreError), nothing changed.
    CalculationSummary calculate(const Selection& selection, const Precondition& holds = {});

    // Every faculty of a year in turn, each as its tree node would be calculated, all in one
    // transaction. `faculties`, when given, receives the number of faculties calculated.
    CalculationSummary calculateYear(const QString& year, int* faculties = nullptr, const Precondition& holds = {});

    // Steps (SQLite virtual-machine instructions) one statement of a calculation may take. No
    // statement of a whole year's calculation over a university of 180,000 workload rows takes
    // 300,000; the limit is over three thousand times that, yet it stops a statement that would
    // never end after some ten to thirty seconds.
    static constexpr quint64 StepLimit = 1'000'000'000;

    // What the calculation's statements may do (see Database::guardCalculation).
    static Database::CalculationGrant grant(quint64 budget = StepLimit);

    // The step budget of each statement of a run (StepLimit unless set).
    void setStepLimit(quint64 steps) { m_stepLimit = steps; }
    // Whether a node's rows are staged on their own while its statements run (WorkloadStage), as
    // they are unless a parameter row reaches beyond them; off, every statement runs on the
    // store's table. The results are the same; tests compare the two.
    void setStaging(bool staging) { m_staging = staging; }

private:
    Database& database() const;
    QStringList facultyNames();
    void runGuarded(const QList<Selection>& nodes, CalculationSummary& summary);
    bool parametersKeepToTheirRows();
    void courseTypeStage(const QString& filter, CalculationSummary& summary);
    void formulaStages(const QString& filter, CalculationSummary& summary);
    void totalsStage(const Selection& selection, CalculationSummary& summary);
    int assign(const QStringList& lines, const QString& where, const QList<FiniteResults::Assignment>& assigned,
               const FiniteResults::ParameterRow& row);
    static const QStringList& totalColumns();
    static QStringList totalsUpdate(const QStringList& values, const QString& key);
    static void refuseIfNoTeacher(const CalculationSummary& summary, const QString& node);

    DataModule& m_data;
    quint64 m_stepLimit = StepLimit;
    bool m_staging = true;
    WorkloadStage* m_stage = nullptr; // the node being calculated, when staged
};
