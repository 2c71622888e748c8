#pragma once

#include "session/Selection.h"
#include "stats/StatsTeacher.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class Database;

// What the statistics read from the store, in plain statements that any engine runs: the
// node's teachers (`rydm` with their section, `bmdm`), and the workload rows' computed figures
// (`gzl`) summed per teacher and year, in hundredths as the calculation sums a teacher's totals.
class StatsSource
{
public:
    // A teacher's rows of one year: how many, and each figure's sum in hundredths.
    struct RowSums
    {
        int rows = 0;
        StatsTeacher::Figures hundredths{};
    };
    // By teacher (name, section, faculty: how workload rows name their teacher).
    using TeacherSums = QHash<QString, RowSums>;

    explicit StatsSource(Database& db) : m_db(db) {}

    // The teachers of a node (the whole year: every teacher in a section), in the store's order
    // of faculty, section code and teacher code; without figures.
    std::vector<StatsTeacher> teachers(const Selection::Node& node);
    // The figures of the node's rows, per year (one year, or all when none is given).
    QMap<QString, TeacherSums> sums(const Selection::Node& node, const std::optional<QString>& year);
    // The years of niandu, in the store's order.
    QStringList years();

    static QString teacherKey(const QString& name, const QString& section, const QString& faculty);

private:
    Database& m_db;
};
