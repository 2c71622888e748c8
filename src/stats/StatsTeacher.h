#pragma once

#include <QString>

#include <array>

// One teacher of the node with the teacher's figures of one year: each workload figure summed
// over the teacher's workload rows of the year and held, as the calculation holds the teacher's
// totals, as a whole number of hundredths (halves to the even neighbour).
struct StatsTeacher
{
    // Q11, Q12, Q2, Q31, Q32, Q33, in the order of the teacher totals.
    static constexpr int FigureCount = 6;
    using Figures = std::array<qint64, FigureCount>;

    QString code; // rydm
    QString name; // rymc
    QString sectionCode;
    QString section;
    QString faculty;
    QString title;
    QString nature;
    QString post;

    int rows = 0; // workload rows of the year
    Figures hundredths{};
    bool calculated = false; // a calculation recorded for the year reached the teacher

    qint64 total() const
    {
        qint64 sum = 0;
        for (qint64 h : hundredths)
            sum += h;
        return sum;
    }
};
