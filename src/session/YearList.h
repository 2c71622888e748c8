#pragma once

#include <QStringList>

class DataModule;
struct Selection;

namespace YearList {

// The academic years offered by the year boxes, in the store's order, read in xssj2.
QStringList read(DataModule& data);

// The store's years are those of niandu and those that workload rows carry.
// Whether `year` is exactly one of them.
bool contains(DataModule& data, const QString& year);
// All of them but the empty one, in order.
QStringList storeYears(DataModule& data);
// Those whose rows the selection's year filter takes in, in order.
QStringList reachedBy(DataModule& data, const Selection& selection);

} // namespace YearList
