#include "gui/GridColumns.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QTableView>

namespace GridColumns {

void fitToContents(QTableView* view)
{
    // Measuring a few hundred rows is enough for a width and keeps large lists quick.
    view->horizontalHeader()->setResizeContentsPrecision(200);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    QObject::connect(view->model(), &QAbstractItemModel::modelReset, view, [view] { view->resizeColumnsToContents(); });
    view->resizeColumnsToContents();
}

} // namespace GridColumns
