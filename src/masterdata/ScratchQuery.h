#pragma once

#include "masterdata/Outcome.h"

#include <QStringList>

class Query;

// The checks, look-ups and changes of the master-data services, one statement at a time in the
// scratch holder dtbmdm1: close it, clear it, add the statement's lines, then open or execute.
class ScratchQuery
{
public:
    explicit ScratchQuery(Query& holder) : m_holder(holder) {}

    // A check: whether the select yields a row. The holder is left closed.
    bool exists(const QStringList& lines);
    // A look-up: the named fields of the first row as text; empty when there is no row.
    QStringList firstRow(const QStringList& lines, const QStringList& fields);
    // A change: runs it and notes the rows it touched in `outcome`.
    int change(const QString& table, const QString& verb, const QStringList& lines, Outcome& outcome);

private:
    Query& m_holder;
};
