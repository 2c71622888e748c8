#include "store/DataSource.h"

#include "store/NumberFormat.h"

DataSource::DataSource(const QString& name, Query* query, QObject* parent) : QAbstractTableModel(parent), m_query(query)
{
    setObjectName(name);
    connect(m_query, &Query::opened, this, &DataSource::reset);
    connect(m_query, &Query::closed, this, &DataSource::reset);
}

void DataSource::setColumns(const QList<Column>& columns)
{
    beginResetModel();
    m_columns = columns;
    m_fieldIndexes.clear();
    endResetModel();
    reset();
}

void DataSource::reset()
{
    beginResetModel();
    m_fieldIndexes.clear();
    for (const Column& c : m_columns)
        m_fieldIndexes << m_query->findField(c.field).value_or(-1);
    endResetModel();
}

int DataSource::fieldIndex(int column) const
{
    return m_columns.isEmpty() ? column : m_fieldIndexes.value(column, -1);
}

int DataSource::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_query->recordCount();
}

int DataSource::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_columns.isEmpty() ? m_query->fieldCount() : int(m_columns.size());
}

QString DataSource::displayText(int row, int column) const
{
    const int field = fieldIndex(column);
    if (field < 0)
        return {};
    const QVariant v = m_query->value(row, field);
    if (!v.isValid() || v.isNull())
        return {};
    if (v.typeId() == QMetaType::Double) {
        return m_query->fieldDisplay(field) == Query::Display::TwoDecimals ? NumberFormat::twoDecimals(v.toDouble())
                                                                           : NumberFormat::general(v.toDouble());
    }
    return v.toString();
}

QVariant DataSource::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return displayText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole) {
        const QVariant v = m_query->value(index.row(), fieldIndex(index.column()));
        const bool number = v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    return {};
}

QVariant DataSource::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (!m_columns.isEmpty())
        return m_columns.value(section).title;
    return m_query->fieldName(section);
}
