#include "masterdata/SettingsRecord.h"

#include "store/TableObject.h"

SettingsRecord::SettingsRecord(TableObject& record) : m_record(record)
{
    if (!m_record.isActive())
        m_record.activate();
}

SettingsRecord::~SettingsRecord()
{
    if (m_replaced.isEmpty())
        return;
    // The store kept the old values: so does the record in memory.
    try {
        m_record.edit();
        for (const Replaced& r : m_replaced)
            m_record.setFieldText(r.field, r.before);
    } catch (const StoreError&) {
    }
}

QString SettingsRecord::field(const QString& name) const
{
    return m_record.fieldByName(name).asString();
}

QString SettingsRecord::year() const
{
    return field(QStringLiteral("Nd"));
}

QString SettingsRecord::faculty() const
{
    return field(QStringLiteral("yx"));
}

QString SettingsRecord::section() const
{
    return field(QStringLiteral("jys"));
}

QString SettingsRecord::sectionName() const
{
    return field(QStringLiteral("jysmc"));
}

void SettingsRecord::chooseFaculty(const QString& name)
{
    m_record.edit();
    m_record.setFieldText(QStringLiteral("yx"), name);
    m_record.post();
}

void SettingsRecord::chooseSection(const QString& code)
{
    m_record.edit();
    m_record.setFieldText(QStringLiteral("jys"), code);
    m_record.post();
}

void SettingsRecord::chooseSection(const QString& code, const QString& faculty, const QString& name)
{
    m_record.edit();
    m_record.setFieldText(QStringLiteral("jys"), code);
    m_record.setFieldText(QStringLiteral("yx"), faculty);
    m_record.setFieldText(QStringLiteral("jysmc"), name);
    m_record.post();
}

bool SettingsRecord::replace(const QString& name, const QString& from, const QString& to)
{
    const QString before = field(name);
    if (before != from || from == to)
        return false;
    m_record.edit();
    m_replaced << Replaced{name, before};
    m_record.setFieldText(name, to);
    return true;
}

int SettingsRecord::postReplacements()
{
    if (m_replaced.isEmpty())
        return 0;
    m_record.post();
    return 1;
}
