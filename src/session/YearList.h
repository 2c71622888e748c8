#pragma once

#include <QStringList>

class DataModule;

namespace YearList {

// The academic years offered by the year boxes, in the store's order, read in xssj2.
QStringList read(DataModule& data);

} // namespace YearList
