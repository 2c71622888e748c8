#pragma once

#include "store/Query.h"

#include <QAbstractTableModel>

// A grid's view of a holder: every row of its present result, refreshed whenever the holder
// is re-opened or closed. Numbers follow the field's display: "0.##" for the workload views
// (general form for Fzs and Bg), general form everywhere else.
class DataSource : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Column
    {
        QString field;
        QString title;
    };

    DataSource(const QString& name, Query* query, QObject* parent = nullptr);

    Query* query() const { return m_query; }
    // The columns a grid shows, by field name and title; without them every field shows under its name.
    void setColumns(const QList<Column>& columns);
    const QList<Column>& columns() const { return m_columns; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The text a cell shows.
    QString displayText(int row, int column) const;

private:
    void reset();
    int fieldIndex(int column) const;

    Query* m_query;
    QList<Column> m_columns;
    QList<int> m_fieldIndexes;
};
