#pragma once

#include <QString>

#include <optional>
#include <string>
#include <vector>

// A statement with the quoted values of its conditions, value lists and assignments taken out:
// "select * from bmdm where bmmc='计科' and ybmc='信息学院'" has the shape
// "select * from bmdm where bmmc=? and ybmc=?" and the values 计科 and 信息学院. Statements that
// differ only in those values share one shape, so the store can compile the shape once and run it
// with each statement's values bound, with the same result as the statement itself.
struct StatementShape
{
    std::string text;                // UTF-8, one ? per value taken out
    std::vector<std::string> values; // UTF-8, in order, quotes undoubled

    // Literals are taken out only after the first WHERE, VALUES or SET; a literal before them may
    // be a result column whose name is its own text. nullopt when nothing was taken out or the
    // statement already has parameters.
    static std::optional<StatementShape> of(const QString& statement);
};
