#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Database;
class StoreError;
class WorkloadStage;

// Keeps the calculation from storing a number that is no number: an expression that overflows
// gives an infinite value, and one that then subtracts or multiplies infinities an undefined one,
// which the store turns into an empty value without a word. Either is refused with the parameter
// row and the teacher it happened for, so that the whole run is undone and the operator can mend
// the row.
class FiniteResults
{
public:
    // A parameter row as a refusal names it.
    struct ParameterRow
    {
        QString fenlie;
        QString shuoming;
        QString gs;
    };

    // One column of an update and the expression it is given.
    struct Assignment
    {
        QString column;
        QString expression;
    };

    // `stage`: the node's rows are staged there, and the stage refuses an infinite value itself;
    // without one (or with one that asks for it) the rows are checked for one before each update.
    FiniteResults(Database& db, const WorkloadStage* stage) : m_db(db), m_stage(stage) {}

    // Before an update "... where <where>": throws a StoreError naming the row and the teacher
    // when an assignment would give a selected row an undefined value (an arithmetic expression
    // whose inputs are all there, yet comes out empty) or, unstaged, an infinite one.
    void checkAhead(const QString& where, const QList<Assignment>& assigned, const ParameterRow& row,
                    const QString& statement);

    // After the store refused such an update: when the refusal is the stage's check of an infinite
    // value, throws the calculation's refusal naming the row and the teacher; otherwise returns.
    void explainRefusal(const StoreError& refusal, const QString& where, const QList<Assignment>& assigned,
                        const ParameterRow& row, const QString& statement);

private:
    struct Teacher
    {
        QString name;
        QString section;
        QString faculty;
    };

    // `overflowed`: the store stopped at a number beyond every double for the teacher's row.
    bool firstTeacher(const QString& where, const QString& condition, Teacher& teacher, bool& overflowed);
    bool firstOverflowing(const QString& where, const QString& condition, Teacher& teacher);
    [[noreturn]] void refuse(const ParameterRow& row, const QString& column, const Teacher* teacher, bool infinite,
                             const QString& statement);

    Database& m_db;
    const WorkloadStage* m_stage;
};
