#pragma once

#include "stats/StatsRequest.h"
#include "stats/StatsResult.h"

class Database;

// The workload statistics of a node: per group the teachers, each figure's sum, the total's sum,
// mean, median, minimum and maximum per teacher; the distribution of the teachers' totals in
// bins and the counts below and at or above a threshold; for one year or for every year side by
// side. Shared by the statistics screen and workloadctl.
//
// Every figure comes from the workload rows of its year (`gzl`'s computed columns), summed per
// teacher to hundredths as the calculation sums a teacher's totals, so the sums of a year just
// calculated equal the totals it stored in `rydm` to the hundredth. The stored totals themselves
// carry no year (they are the last calculation's, whatever year it was), so they are not read.
// A teacher is counted in a year when the teacher has workload rows in it; a year that no
// recorded calculation reached (or without rows) has no figures ("未计算").
class WorkloadStats
{
public:
    explicit WorkloadStats(Database& db) : m_db(db) {}

    // A faculty or section without teachers is refused (ProgramError, refused input), as is a
    // bin width that is not positive or gives too many bins.
    StatsResult compute(const StatsRequest& request);

private:
    Database& m_db;
};
