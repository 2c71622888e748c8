#pragma once

#include "store/Database.h"
#include "store/Field.h"

#include <QObject>

// Direct access to the single record of a one-row table (the settings record): activate,
// edit, set a field, post. Edits stay in memory until post() stores them.
class TableObject : public QObject
{
    Q_OBJECT
public:
    TableObject(const QString& name, const QString& table, QObject* parent = nullptr);

    void setDatabase(Database* db) { m_db = db; }

    void activate();
    bool isActive() const { return m_active; }
    void edit();
    bool isEditing() const { return m_editing; }
    void setFieldText(const QString& field, const QString& value);
    Field fieldByName(const QString& field) const;
    void post();
    void cancel();
    void close();

signals:
    void fieldChanged(const QString& field);

private:
    int indexOf(const QString& field) const;
    void requireActive() const;

    QString m_table;
    Database* m_db = nullptr;
    bool m_active = false;
    bool m_editing = false;
    qint64 m_rowid = -1;
    QStringList m_names;
    QVariantList m_values;
    QVariantList m_stored;
};
