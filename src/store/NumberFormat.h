#pragma once

#include <QString>

namespace NumberFormat {

// Shortest general decimal form with at most 15 significant digits and "." as the point:
// 12 -> "12", 2.5 -> "2.5", 64/3 -> "21.3333333333333"; never "12.0".
QString general(double value);

// The grids' "0.##": at most two decimals, the 15-digit decimal form rounded half away from zero,
// trailing zeros and a trailing point dropped (12 -> "12", 2.5 -> "2.5", 3.14159 -> "3.14").
QString twoDecimals(double value);

} // namespace NumberFormat
