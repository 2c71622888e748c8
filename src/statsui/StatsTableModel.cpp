#include "statsui/StatsTableModel.h"

#include "stats/StatsViews.h"

#include <cmath>

namespace {

constexpr int NodeRole = Qt::UserRole + 1; // the row's index into the nodes, kept through sorting

QStandardItem* itemOf(const StatsTable::Cell& cell, bool whole)
{
    auto* item = new QStandardItem;
    item->setEditable(false);
    if (const auto* n = std::get_if<double>(&cell)) {
        item->setText(whole ? QString::number(qint64(*n)) : StatsViews::amount(std::llround(*n * 100)));
        item->setData(*n, StatsTableModel::SortRole);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    } else {
        const QString text = StatsTable::text(cell);
        item->setText(text);
        item->setData(text, StatsTableModel::SortRole);
    }
    return item;
}

} // namespace

void StatsTableModel::fill(const StatsTable& table, const std::vector<Selection::Node>& nodes,
                           const QList<int>& countColumns)
{
    clear();
    m_nodes = nodes;
    setHorizontalHeaderLabels(table.heading);
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        QList<QStandardItem*> items;
        const StatsTable::Row& row = table.rows[r];
        for (qsizetype c = 0; c < table.heading.size(); ++c)
            items << itemOf(std::size_t(c) < row.size() ? row[std::size_t(c)] : StatsTable::Cell{},
                            countColumns.contains(int(c)));
        items.front()->setData(int(r), NodeRole);
        appendRow(items);
    }
}

std::optional<Selection::Node> StatsTableModel::nodeAt(int row) const
{
    const QStandardItem* first = item(row, 0);
    if (!first)
        return std::nullopt;
    const int index = first->data(NodeRole).toInt();
    if (index < 0 || std::size_t(index) >= m_nodes.size() ||
        m_nodes[std::size_t(index)].level == Selection::Level::None)
        return std::nullopt;
    return m_nodes[std::size_t(index)];
}
