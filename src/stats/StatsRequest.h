#pragma once

#include "session/Selection.h"
#include "stats/StatsGrouping.h"

#include <QString>

#include <optional>

// What the operator asks the statistics for: one year or every year side by side, the node (the
// whole year, a faculty or a section), the grouping, the threshold and the width of the bins of
// the distribution. Amounts are whole hundredths, as the totals are kept.
struct StatsRequest
{
    static constexpr qint64 DefaultBinWidth = 5000; // 50
    // Bins of the distribution at most: a width that would give more is refused.
    static constexpr int MaxBins = 1000;

    QString year;          // the year of a one-year view
    bool allYears = false; // every year of niandu, year over year
    Selection::Node node{Selection::Level::Year, {}, {}, {}};
    StatsGrouping grouping = StatsGrouping::Section;
    std::optional<qint64> threshold; // "below N" is a total < N
    qint64 binWidth = DefaultBinWidth;

    // A typed amount in hundredths: a plain decimal number ("400", "-12.5", "0.25") with at most
    // two decimals; none for anything else.
    static std::optional<qint64> hundredths(const QString& text);
    // The amount as it is written: "400", "12.5", "-0.25".
    static QString amountText(qint64 hundredths);
};
