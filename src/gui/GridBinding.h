#pragma once

#include <QObject>

class DataSource;
class QTableView;

// Shows a data source in a grid with whole-row selection, and keeps the grid's selected row
// and the holder's current row the same in both directions.
class GridBinding : public QObject
{
    Q_OBJECT
public:
    GridBinding(QTableView* view, DataSource* source);

    static GridBinding* bind(QTableView* view, DataSource* source);

private:
    void selectCurrent();

    QTableView* m_view;
    DataSource* m_source;
    bool m_syncing = false;
};
