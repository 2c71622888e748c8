#include "gui/GridBinding.h"

#include "store/DataSource.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

GridBinding::GridBinding(QTableView* view, DataSource* source) : QObject(view), m_view(view), m_source(source)
{
    view->setModel(source);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    Query* query = source->query();
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, query](const QModelIndex& current) {
                if (m_syncing || !current.isValid())
                    return;
                m_syncing = true;
                query->moveTo(current.row());
                m_syncing = false;
            });
    connect(query, &Query::currentRowChanged, this, [this] {
        if (!m_syncing)
            selectCurrent();
    });
    connect(source, &QAbstractItemModel::modelReset, this, &GridBinding::selectCurrent);
    selectCurrent();
}

GridBinding* GridBinding::bind(QTableView* view, DataSource* source)
{
    return new GridBinding(view, source);
}

void GridBinding::selectCurrent()
{
    const int row = m_source->query()->currentRow();
    m_syncing = true;
    if (row >= 0 && row < m_source->rowCount()) {
        const QModelIndex index = m_source->index(row, 0);
        m_view->selectionModel()->setCurrentIndex(index,
                                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_view->scrollTo(index);
    } else {
        m_view->selectionModel()->clearSelection();
    }
    m_syncing = false;
}
