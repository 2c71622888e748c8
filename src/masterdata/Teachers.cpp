#include "masterdata/Teachers.h"

#include "masterdata/MasterDataText.h"
#include "masterdata/ScratchQuery.h"
#include "store/DataModule.h"
#include "store/Sql.h"
#include "store/StoreError.h"
#include "store/Transaction.h"

namespace {

Outcome failed(const StoreError& e)
{
    return Outcome::failed(MasterDataText::TeacherFailed, e.text());
}

} // namespace

const QStringList& Teachers::titles()
{
    static const QStringList list{QStringLiteral("正高级"), QStringLiteral("副高级"), QStringLiteral("中级"),
                                  QStringLiteral("初级"), QStringLiteral("员级")};
    return list;
}

const QStringList& Teachers::natures()
{
    static const QStringList list{QStringLiteral("专职"), QStringLiteral("兼职")};
    return list;
}

const QStringList& Teachers::posts()
{
    static const QStringList list{QStringLiteral("无重点岗位"), QStringLiteral("重点 6 级"),
                                  QStringLiteral("重点 5 级"),  QStringLiteral("重点 4 级"),
                                  QStringLiteral("重点 3 级"),  QStringLiteral("重点 2 级"),
                                  QStringLiteral("重点 1 级")};
    return list;
}

Teachers::Teacher Teachers::Change::appliedTo(const Teacher& t) const
{
    return {code.value_or(t.code), name.value_or(t.name), title.value_or(t.title), nature.value_or(t.nature),
            post.value_or(t.post)};
}

Teachers::Teacher Teachers::defaults()
{
    return {{}, {}, QStringLiteral("中级"), QStringLiteral("专职"), QStringLiteral("无重点岗位")};
}

int Teachers::openList(const QString& sectionCode)
{
    m_data.dtrydm->setStatement(
        {QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm and bmdm=%1 order by rydm")
             .arg(Sql::quote(sectionCode))});
    m_data.dtrydm->open();
    return m_data.dtrydm->recordCount();
}

int Teachers::openAll()
{
    m_data.dtrydm->setStatement({QStringLiteral("select * from rydm left join bmdm on rydm.bmdm=bmdm.bmdm "
                                                "order by rydm.bmdm,rydm.rydm")});
    m_data.dtrydm->open();
    return m_data.dtrydm->recordCount();
}

std::optional<Teachers::Row> Teachers::find(const QString& code)
{
    const QStringList row =
        ScratchQuery(*m_data.dtbmdm1)
            .firstRow({QStringLiteral("select * from rydm left join bmdm on rydm.bmdm=bmdm.bmdm"),
                       QStringLiteral("where rydm.rydm=") + Sql::quote(code)},
                      {QStringLiteral("rydm"), QStringLiteral("rymc"), QStringLiteral("ryzc"), QStringLiteral("ryxz"),
                       QStringLiteral("rygw"), QStringLiteral("bmdm"), QStringLiteral("bmmc"), QStringLiteral("ybmc")});
    if (row.isEmpty())
        return std::nullopt;
    return Row{{row[0], row[1], row[2], row[3], row[4]}, row[5], row[6], row[7]};
}

bool Teachers::existsInSection(const QString& name, const QString& sectionName)
{
    return ScratchQuery(*m_data.dtbmdm1)
        .exists({QStringLiteral("select * from rydm,bmdm where rydm.bmdm=bmdm.bmdm"),
                 QStringLiteral("and rymc=%1 and bmmc=%2").arg(Sql::quote(name), Sql::quote(sectionName))});
}

bool Teachers::sectionExists(const QString& sectionCode)
{
    return ScratchQuery(*m_data.dtbmdm1)
        .exists({QStringLiteral("select * from bmdm"), QStringLiteral("where bmdm=") + Sql::quote(sectionCode)});
}

bool Teachers::codeTaken(const QString& code)
{
    return ScratchQuery(*m_data.dtbmdm1).exists({QStringLiteral("select * from rydm where rydm=") + Sql::quote(code)});
}

Outcome Teachers::add(const QString& sectionCode, const Teacher& t)
{
    Outcome outcome;
    try {
        // The checks and the insert under one write lock: the section cannot be deleted, nor the
        // code be taken, between them.
        Transaction transaction(*m_data.database());
        if (!sectionExists(sectionCode))
            return Outcome::refused(Outcome::Status::NotFound, MasterDataText::SectionMissing.arg(sectionCode));
        if (codeTaken(t.code))
            return Outcome::refused(Outcome::Status::Duplicate, MasterDataText::TeacherDuplicate);
        ScratchQuery(*m_data.dtbmdm1)
            .change(QStringLiteral("rydm"), QStringLiteral("inserted"),
                    {QStringLiteral("insert into rydm (rydm,rymc,bmdm,ryzc,ryxz,rygw) values(%1,%2,%3,%4,%5,%6)")
                         .arg(Sql::quote(t.code), Sql::quote(t.name), Sql::quote(sectionCode), Sql::quote(t.title),
                              Sql::quote(t.nature), Sql::quote(t.post))},
                    outcome);
        transaction.commit();
    } catch (const StoreError& e) {
        e.throwIfStoreState();
        return failed(e);
    }
    return outcome;
}

Outcome Teachers::edit(const QString& oldCode, const Teacher& t)
{
    return amend(oldCode, Change{t.code, t.name, t.title, t.nature, t.post});
}

Outcome Teachers::amend(const QString& oldCode, const Change& change)
{
    ScratchQuery scratch(*m_data.dtbmdm1);
    const QString updated = QStringLiteral("updated");
    Outcome outcome;
    try {
        // The teacher's section and faculty names are read under the write lock that the change
        // takes: a rename of either meanwhile is what the workload rows are found by, and what is
        // not changed is kept as it is now.
        Transaction transaction(*m_data.database());
        const std::optional<Row> old = find(oldCode);
        if (!old)
            return Outcome::refused(Outcome::Status::NotFound, MasterDataText::TeacherMissing.arg(oldCode));
        const Teacher t = change.appliedTo(old->teacher);
        if (t.code != oldCode && codeTaken(t.code))
            return Outcome::refused(Outcome::Status::Duplicate, MasterDataText::TeacherDuplicate);
        scratch.change(QStringLiteral("rydm"), updated,
                       {QStringLiteral("update rydm set rydm=%1,rymc=%2,ryzc=%3,ryxz=%4,rygw=%5")
                            .arg(Sql::quote(t.code), Sql::quote(t.name), Sql::quote(t.title), Sql::quote(t.nature),
                                 Sql::quote(t.post)),
                        QStringLiteral("where rydm=") + Sql::quote(oldCode)},
                       outcome);
        // Every year's rows of the teacher in the section and faculty.
        scratch.change(
            QStringLiteral("gzl"), updated,
            {QStringLiteral("update gzl set jiaoshi=%1,zhicheng=%2,xingzhi=%3,gangwei=%4")
                 .arg(Sql::quote(t.name), Sql::quote(t.title), Sql::quote(t.nature), Sql::quote(t.post)),
             QStringLiteral("where jiaoshi=%1 and jiaoyanshi=%2 and yuanbu=%3")
                 .arg(Sql::quote(old->teacher.name), Sql::quote(old->sectionName), Sql::quote(old->faculty))},
            outcome);
        transaction.commit();
    } catch (const StoreError& e) {
        e.throwIfStoreState();
        return failed(e);
    }
    return outcome;
}

Outcome Teachers::remove(const QString& code)
{
    Transaction transaction(*m_data.database());
    const std::optional<Row> row = find(code);
    if (!row)
        return Outcome::refused(Outcome::Status::NotFound, MasterDataText::TeacherMissing.arg(code));
    ScratchQuery scratch(*m_data.dtbmdm1);
    if (scratch.exists({QStringLiteral("select * from gzl"),
                        QStringLiteral("where jiaoshi=%1 and jiaoyanshi=%2")
                            .arg(Sql::quote(row->teacher.name), Sql::quote(row->sectionName))}))
        return Outcome::refused(Outcome::Status::HasWorkload, MasterDataText::TeacherHasWorkload);
    Outcome outcome;
    outcome.status = Outcome::Status::Deleted;
    scratch.change(QStringLiteral("rydm"), QStringLiteral("deleted"),
                   {QStringLiteral("delete from rydm"), QStringLiteral("where rydm=") + Sql::quote(code)}, outcome);
    transaction.commit();
    return outcome;
}
