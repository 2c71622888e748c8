#pragma once

#include "session/Selection.h"
#include "stats/StatsTable.h"

#include <QStandardItemModel>

#include <optional>

// A statistics table for a grid: amounts shown with two decimals and sorted as numbers, texts as
// they are; a row that stands for a faculty, a section or a teacher carries its tree node.
class StatsTableModel : public QStandardItemModel
{
    Q_OBJECT
public:
    // The value a column is sorted by.
    static constexpr int SortRole = Qt::UserRole;

    explicit StatsTableModel(QObject* parent = nullptr) : QStandardItemModel(parent) {}

    // Fills the model; `nodes`, when given, holds the tree node of each row (a None level for a row
    // that stands for none). `countColumns` are shown as whole numbers.
    void fill(const StatsTable& table, const std::vector<Selection::Node>& nodes, const QList<int>& countColumns);
    // The tree node of a row of this model; none for a total row or a title, nature or post.
    std::optional<Selection::Node> nodeAt(int row) const;

private:
    std::vector<Selection::Node> m_nodes;
};
