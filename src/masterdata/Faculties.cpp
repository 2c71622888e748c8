#include "masterdata/Faculties.h"

#include "masterdata/MasterDataText.h"
#include "masterdata/ScratchQuery.h"
#include "masterdata/SettingsRecord.h"
#include "store/DataModule.h"
#include "store/Sql.h"
#include "store/StoreError.h"
#include "store/Transaction.h"

namespace {

const QString Inserted = QStringLiteral("inserted");
const QString Updated = QStringLiteral("updated");
const QString Deleted = QStringLiteral("deleted");

} // namespace

int Faculties::openList()
{
    m_data.dtbmdm->setStatement({QStringLiteral("select * from yuanbu ")});
    m_data.dtbmdm->open();
    return m_data.dtbmdm->recordCount();
}

bool Faculties::exists(const QString& name)
{
    return ScratchQuery(*m_data.dtbmdm1)
        .exists({QStringLiteral("select * from yuanbu"), QStringLiteral("where mc=") + Sql::quote(name)});
}

Outcome Faculties::add(const QString& name)
{
    Outcome outcome;
    try {
        Transaction transaction(*m_data.database());
        ScratchQuery(*m_data.dtbmdm1)
            .change(QStringLiteral("yuanbu"), Inserted,
                    {QStringLiteral("insert into yuanbu (mc) values(%1)").arg(Sql::quote(name))}, outcome);
        transaction.commit();
    } catch (const StoreError& e) {
        e.throwIfStoreState();
        return Outcome::failed(MasterDataText::FacultyFailed, e.text());
    }
    return outcome;
}

Outcome Faculties::rename(const QString& oldName, const QString& newName)
{
    const QString from = Sql::quote(oldName);
    const QString to = Sql::quote(newName);
    ScratchQuery scratch(*m_data.dtbmdm1);
    Outcome outcome;
    try {
        Transaction transaction(*m_data.database());
        SettingsRecord settings(*m_data.Tbsystem);
        const int renamed =
            scratch.change(QStringLiteral("yuanbu"), Updated,
                           {QStringLiteral("update yuanbu set mc=") + to, QStringLiteral("where mc=") + from}, outcome);
        if (renamed == 0)
            return Outcome::refused(Outcome::Status::NotFound, MasterDataText::FacultyMissing.arg(oldName));
        // Sections and workload rows name their faculty: they follow it.
        scratch.change(QStringLiteral("bmdm"), Updated,
                       {QStringLiteral("update bmdm set ybmc=") + to, QStringLiteral("where ybmc=") + from}, outcome);
        scratch.change(QStringLiteral("gzl"), Updated,
                       {QStringLiteral("update gzl set yuanbu=") + to, QStringLiteral("where yuanbu=") + from},
                       outcome);
        settings.replace(QStringLiteral("yx"), oldName, newName);
        outcome.changes << Outcome::Change{QStringLiteral("system"), Updated, settings.postReplacements()};
        transaction.commit();
        settings.keep();
    } catch (const StoreError& e) {
        e.throwIfStoreState();
        return Outcome::failed(MasterDataText::FacultyFailed, e.text());
    }
    return outcome;
}

Outcome Faculties::remove(const QString& name)
{
    const QString quoted = Sql::quote(name);
    ScratchQuery scratch(*m_data.dtbmdm1);
    // Checked under the write lock: nothing can name the faculty between the checks and the delete.
    Transaction transaction(*m_data.database());
    if (!exists(name))
        return Outcome::refused(Outcome::Status::NotFound, MasterDataText::FacultyMissing.arg(name));
    if (scratch.exists({QStringLiteral("select * from gzl"), QStringLiteral("where yuanbu=") + quoted}))
        return Outcome::refused(Outcome::Status::HasWorkload, MasterDataText::FacultyHasWorkload);
    if (scratch.exists({QStringLiteral("select * from bmdm"), QStringLiteral("where ybmc=") + quoted}))
        return Outcome::refused(Outcome::Status::HasSections, MasterDataText::FacultyHasSections);
    Outcome outcome;
    outcome.status = Outcome::Status::Deleted;
    scratch.change(QStringLiteral("yuanbu"), Deleted,
                   {QStringLiteral("delete from yuanbu"), QStringLiteral("where mc=") + quoted}, outcome);
    transaction.commit();
    return outcome;
}
