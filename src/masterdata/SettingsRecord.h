#pragma once

#include <QList>
#include <QString>

class TableObject;

// The settings record as the master-data screens use it: the faculty whose sections are listed
// and filed (yx) and the section whose teachers are listed and filed (jys). A renamed faculty or
// section is carried into it, so that the remembered selection keeps naming it; such a carry is
// part of the rename's transaction and is taken back in memory when that does not commit.
class SettingsRecord
{
public:
    explicit SettingsRecord(TableObject& record);
    ~SettingsRecord();
    SettingsRecord(const SettingsRecord&) = delete;
    SettingsRecord& operator=(const SettingsRecord&) = delete;

    QString year() const;
    QString faculty() const;
    QString section() const;
    QString sectionName() const;
    QString field(const QString& name) const;

    // Edit, set yx, post: the faculty chosen in the tree.
    void chooseFaculty(const QString& name);
    // Edit, set jys, post: the section whose teachers are listed next.
    void chooseSection(const QString& code);
    // Edit, set jys, yx and jysmc, post: the section chosen in the tree.
    void chooseSection(const QString& code, const QString& faculty, const QString& name);

    // Sets a field to `to` where it holds `from`; true when it did.
    bool replace(const QString& name, const QString& from, const QString& to);
    // Stores the replacements, if any; returns the rows stored (0 or 1).
    int postReplacements();
    // The replacements stay, also in memory: the transaction they belong to committed.
    void keep() { m_replaced.clear(); }

private:
    struct Replaced
    {
        QString field;
        QString before;
    };

    TableObject& m_record;
    QList<Replaced> m_replaced;
};
