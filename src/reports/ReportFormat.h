#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// How the teacher workload list writes numbers and the generation time.
namespace ReportFormat {

// A stored value in general form: up to 15 significant digits, no trailing zeros, "." as the
// point whatever the locale (12 -> "12", 2.5 -> "2.5", 64/3 -> "21.3333333333333"). Empty for no value.
QString general(double value);
QString general(const std::optional<double>& value);

// A value rounded to hundredths in plain decimal form ("1234.5", "0.25", "-0.25", "12", "0"):
// the 15-significant-digit decimal form of the value, rounded half away from zero.
QString hundredthsText(double value);

// The same rounded value as a number (what the sums and the average are worth on paper).
double hundredths(double value);

// The picture "##########.##" of sums and averages: at most two decimals, no leading zero before
// the point, no trailing zeros, no point without decimals, and nothing at all for a value that
// rounds to zero (1234.5 -> "1234.5", 0.25 -> ".25", 12 -> "12", 0 -> ""). A negative value keeps
// its minus sign in front of the digits (-0.25 -> "-.25").
QString picture(double value);

// The generation time: the short date followed by the long time, the time left out at exactly
// midnight ("2026/3/5 14:05:09", "2026/3/5").
QString dateTime(const QDateTime& moment);

} // namespace ReportFormat
