#include "store/TableObject.h"

TableObject::TableObject(const QString& name, const QString& table, QObject* parent) : QObject(parent), m_table(table)
{
    setObjectName(name);
}

void TableObject::activate()
{
    if (!m_db)
        throw StoreError(QStringLiteral("%1: 没有连接数据库").arg(objectName()));
    const Database::Result r = m_db->select(QStringLiteral("select rowid as _rowid_, * from %1 limit 1").arg(m_table));
    if (r.rows.empty())
        throw StoreError(QStringLiteral("%1: 表 %2 中没有记录").arg(objectName(), m_table));
    m_names.clear();
    for (int i = 1; i < r.columns.size(); ++i)
        m_names << r.columns[i].name;
    m_rowid = r.rows.front().value(0).toLongLong();
    m_values = r.rows.front().mid(1);
    m_stored = m_values;
    m_active = true;
    m_editing = false;
    for (const QString& n : m_names)
        emit fieldChanged(n);
}

void TableObject::requireActive() const
{
    if (!m_active)
        throw StoreError(QStringLiteral("%1: 表没有打开").arg(objectName()));
}

int TableObject::indexOf(const QString& field) const
{
    for (int i = 0; i < m_names.size(); ++i)
        if (m_names[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    throw StoreError(QStringLiteral("%1: 字段 %2 不存在").arg(objectName(), field));
}

void TableObject::edit()
{
    requireActive();
    m_editing = true;
}

void TableObject::setFieldText(const QString& field, const QString& value)
{
    requireActive();
    if (!m_editing)
        throw StoreError(QStringLiteral("%1: 记录不在编辑状态").arg(objectName()));
    const int i = indexOf(field);
    if (m_values[i] == QVariant(value))
        return;
    m_values[i] = value;
    emit fieldChanged(m_names[i]);
}

Field TableObject::fieldByName(const QString& field) const
{
    requireActive();
    const int i = indexOf(field);
    return Field(m_names[i], m_values[i]);
}

void TableObject::post()
{
    requireActive();
    if (!m_editing)
        return;
    QStringList sets;
    for (const QString& n : m_names)
        sets << n + QStringLiteral("=?");
    QVariantList values = m_values;
    values << m_rowid;
    m_db->executeBound(QStringLiteral("update %1 set %2 where rowid=?").arg(m_table, sets.join(u',')), values);
    m_stored = m_values;
    m_editing = false;
}

void TableObject::cancel()
{
    if (!m_active)
        return;
    const QVariantList old = m_values;
    m_values = m_stored;
    m_editing = false;
    for (int i = 0; i < m_names.size(); ++i)
        if (old[i] != m_values[i])
            emit fieldChanged(m_names[i]);
}

void TableObject::close()
{
    m_active = false;
    m_editing = false;
}
