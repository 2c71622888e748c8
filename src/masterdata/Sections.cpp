#include "masterdata/Sections.h"

#include "masterdata/MasterDataText.h"
#include "masterdata/ScratchQuery.h"
#include "masterdata/SettingsRecord.h"
#include "store/DataModule.h"
#include "store/Sql.h"
#include "store/StoreError.h"
#include "store/Transaction.h"

namespace {

const QString Updated = QStringLiteral("updated");

Outcome failed(const StoreError& e)
{
    return Outcome::failed(MasterDataText::SectionFailed, e.text());
}

} // namespace

int Sections::openList(const QString& faculty)
{
    m_data.dtbmdm->setStatement(
        {QStringLiteral("select * from bmdm where ybmc=%1 order by bmdm").arg(Sql::quote(faculty))});
    m_data.dtbmdm->open();
    return m_data.dtbmdm->recordCount();
}

int Sections::openAll()
{
    m_data.dtbmdm->setStatement({QStringLiteral("select * from bmdm order by ybmc,bmdm")});
    m_data.dtbmdm->open();
    return m_data.dtbmdm->recordCount();
}

std::optional<Sections::Row> Sections::find(const QString& code)
{
    const QStringList row =
        ScratchQuery(*m_data.dtbmdm1)
            .firstRow({QStringLiteral("select * from bmdm"), QStringLiteral("where bmdm=") + Sql::quote(code)},
                      {QStringLiteral("bmdm"), QStringLiteral("bmmc"), QStringLiteral("ybmc")});
    if (row.isEmpty())
        return std::nullopt;
    return Row{row[0], row[1], row[2]};
}

bool Sections::existsNamed(const QString& name)
{
    return ScratchQuery(*m_data.dtbmdm1)
        .exists({QStringLiteral("select * from bmdm"), QStringLiteral("where bmmc=") + Sql::quote(name)});
}

bool Sections::facultyExists(const QString& faculty)
{
    return ScratchQuery(*m_data.dtbmdm1)
        .exists({QStringLiteral("select * from yuanbu"), QStringLiteral("where mc=") + Sql::quote(faculty)});
}

bool Sections::codeTaken(const QString& code)
{
    return ScratchQuery(*m_data.dtbmdm1).exists({QStringLiteral("select * from bmdm where bmdm=") + Sql::quote(code)});
}

Outcome Sections::add(const QString& faculty, const QString& code, const QString& name)
{
    Outcome outcome;
    try {
        // The checks and the insert under one write lock: the faculty cannot go, nor the code be
        // taken, between them.
        Transaction transaction(*m_data.database());
        if (!facultyExists(faculty))
            return Outcome::refused(Outcome::Status::NotFound, MasterDataText::FacultyMissing.arg(faculty));
        if (codeTaken(code))
            return Outcome::refused(Outcome::Status::Duplicate, MasterDataText::SectionDuplicate);
        ScratchQuery(*m_data.dtbmdm1)
            .change(QStringLiteral("bmdm"), QStringLiteral("inserted"),
                    {QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values(%1,%2,%3)")
                         .arg(Sql::quote(code), Sql::quote(name), Sql::quote(faculty))},
                    outcome);
        transaction.commit();
    } catch (const StoreError& e) {
        e.throwIfStoreState();
        return failed(e);
    }
    return outcome;
}

Outcome Sections::edit(const QString& oldCode, const QString& code, const QString& name)
{
    return amend(oldCode, code, name);
}

Outcome Sections::amend(const QString& oldCode, const std::optional<QString>& newCode,
                        const std::optional<QString>& newName)
{
    ScratchQuery scratch(*m_data.dtbmdm1);
    Outcome outcome;
    try {
        // The section is read under the write lock that the change takes: a faculty renamed
        // meanwhile is the name the workload rows are found by, and what is not changed is kept
        // as it is now.
        Transaction transaction(*m_data.database());
        const std::optional<Row> old = find(oldCode);
        if (!old)
            return Outcome::refused(Outcome::Status::NotFound, MasterDataText::SectionMissing.arg(oldCode));
        const QString code = newCode.value_or(old->code);
        const QString name = newName.value_or(old->name);
        if (code != oldCode && codeTaken(code))
            return Outcome::refused(Outcome::Status::Duplicate, MasterDataText::SectionDuplicate);
        SettingsRecord settings(*m_data.Tbsystem);
        scratch.change(QStringLiteral("bmdm"), Updated,
                       {QStringLiteral("update bmdm set bmdm=%1,bmmc=%2").arg(Sql::quote(code), Sql::quote(name)),
                        QStringLiteral("where bmdm=") + Sql::quote(oldCode)},
                       outcome);
        scratch.change(
            QStringLiteral("gzl"), Updated,
            {QStringLiteral("update gzl set jiaoyanshi=") + Sql::quote(name),
             QStringLiteral("where jiaoyanshi=%1 and yuanbu=%2").arg(Sql::quote(old->name), Sql::quote(old->faculty))},
            outcome);
        if (code != oldCode) {
            // Teachers belong to their section by code: they move with it.
            scratch.change(QStringLiteral("rydm"), Updated,
                           {QStringLiteral("update rydm set bmdm=") + Sql::quote(code),
                            QStringLiteral("where bmdm=") + Sql::quote(oldCode)},
                           outcome);
        }
        if (settings.section() == oldCode) {
            settings.replace(QStringLiteral("jys"), oldCode, code);
            settings.replace(QStringLiteral("jysmc"), old->name, name);
        }
        outcome.changes << Outcome::Change{QStringLiteral("system"), Updated, settings.postReplacements()};
        transaction.commit();
        settings.keep();
    } catch (const StoreError& e) {
        e.throwIfStoreState();
        return failed(e);
    }
    return outcome;
}

Outcome Sections::remove(const QString& code)
{
    Transaction transaction(*m_data.database());
    const std::optional<Row> row = find(code);
    if (!row)
        return Outcome::refused(Outcome::Status::NotFound, MasterDataText::SectionMissing.arg(code));
    ScratchQuery scratch(*m_data.dtbmdm1);
    if (scratch.exists(
            {QStringLiteral("select * from gzl"), QStringLiteral("where jiaoyanshi=") + Sql::quote(row->name)}))
        return Outcome::refused(Outcome::Status::HasWorkload, MasterDataText::SectionHasWorkload);
    if (scratch.exists({QStringLiteral("select * from rydm"), QStringLiteral("where bmdm=") + Sql::quote(code)}))
        return Outcome::refused(Outcome::Status::HasTeachers, MasterDataText::SectionHasTeachers);
    Outcome outcome;
    outcome.status = Outcome::Status::Deleted;
    scratch.change(QStringLiteral("bmdm"), QStringLiteral("deleted"),
                   {QStringLiteral("delete from bmdm"), QStringLiteral("where bmdm=") + Sql::quote(code)}, outcome);
    transaction.commit();
    return outcome;
}
