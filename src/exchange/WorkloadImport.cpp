#include "exchange/WorkloadImport.h"

#include "exchange/DbaseFile.h"
#include "exchange/ImportStagingSink.h"
#include "exchange/ParadoxFile.h"
#include "store/DataModule.h"
#include "store/Leftovers.h"
#include "store/PreparedStatement.h"
#include "store/Sql.h"
#include "store/Transaction.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

QString text(const Query* q, int row, int index)
{
    const QVariant v = q->value(row, index);
    return v.isValid() && !v.isNull() ? v.toString() : QString();
}

// A column of the staged rows. The work table always has the forty columns, so a missing one is
// a fault of the program: it ends the import with the column's name.
int column(const Query* staged, const char* name)
{
    const std::optional<int> index = staged->findField(QString::fromLatin1(name));
    if (!index)
        throw StoreError(QStringLiteral("导入的数据中没有字段 %1").arg(QString::fromLatin1(name)), staged->text());
    return *index;
}

// What a store error while the file is staged means for the operator: the store busy or the
// disk full are said as such; any other refusal means the file's rows cannot be an exchange table.
WorkloadImport::Outcome refusalOf(const StoreError& e)
{
    if (e.kind() == StoreError::Kind::Busy)
        return WorkloadImport::Outcome::Busy;
    if (e.kind() == StoreError::Kind::DiskFull)
        return WorkloadImport::Outcome::DiskFull;
    return WorkloadImport::Outcome::NotOurFile;
}

void tell(const WorkloadImport::Observer& observer, int progress, const QString& status)
{
    if (observer)
        observer(progress, status);
}

QString key(const QString& a, const QString& b, const QString& c)
{
    return a + QChar(0x1f) + b + QChar(0x1f) + c;
}

// The teacher look-up joins rydm and bmdm by name; with fresh statistics the store starts from
// the section rather than scanning every teacher, which matters with thousands of teachers.
// They are renewed whenever the teachers created since double the table.
class TeacherStatistics
{
public:
    explicit TeacherStatistics(Database& db) : m_db(db) { refresh(); }

    void created()
    {
        if (++m_created < std::max<qint64>(64, m_since))
            return;
        m_since += m_created;
        m_created = 0;
        refresh();
    }

private:
    void refresh()
    {
        m_db.refreshPlannerStatistics(QStringLiteral("rydm"));
        m_db.refreshPlannerStatistics(QStringLiteral("bmdm"));
    }

    Database& m_db;
    qint64 m_since = 0;
    qint64 m_created = 0;
};

} // namespace

WorkloadImport::WorkloadImport(DataModule& data) : m_data(data), m_clock([] { return QDateTime::currentDateTime(); }) {}

WorkloadImport::~WorkloadImport() = default;

QString WorkloadImport::message(Outcome outcome)
{
    // In the order of Outcome; Ready has none.
    const QString* const texts[] = {nullptr, &NoPath, &CopyFailed, &NotOurFile, &NoRows, &Busy, &DiskFull};
    const QString* text = texts[int(outcome)];
    return text ? *text : QString();
}

void WorkloadImport::makeCounters()
{
    m_sectionCounter = m_clock().toString(QStringLiteral("yyMMddHHmmsszzz"));
    m_teacherCounter = m_clock().toString(QStringLiteral("yyMMddHHmmsszzz"));
}

QString WorkloadImport::nextCode(const QString& code)
{
    return QString::number(code.toLongLong() + 1);
}

WorkloadImport::Outcome WorkloadImport::copyToWorkCopy(const QString& path)
{
    m_workCopy.reset();
    if (path.isEmpty())
        return Outcome::NoPath;
    const QString ending = path.right(3).toUpper();
    if (ending != u"DBT" && ending != u"DBF")
        return Outcome::CopyFailed;
    m_paradox = ending == u"DBT";
    m_table = m_paradox ? QStringLiteral("dbtemp") : QStringLiteral("temp");
    if (!QFileInfo(path).isFile())
        return Outcome::CopyFailed;
    // Each import has a copy of its own: two imports into one data directory never share one. A
    // store on a server has no data directory: the copy is made among the user's temporary files.
    const QString dataDir = m_data.database()->dataDir();
    const QString workDir = dataDir.isEmpty() ? QDir::tempPath() : dataDir;
    Leftovers::removeDead(workDir); // what killed imports (and other commands) left there
    auto copy = std::make_unique<StagingCopy>(workDir, m_paradox ? Leftovers::ParadoxCopy : Leftovers::DbaseCopy);
    switch (copy->copyFrom(path, m_writer)) {
    case StagingCopy::Result::Done:
        m_workCopy = std::move(copy);
        return Outcome::Ready;
    case StagingCopy::Result::DiskFull:
        return Outcome::DiskFull;
    case StagingCopy::Result::Failed:
        break;
    }
    return Outcome::CopyFailed;
}

WorkloadImport::Outcome WorkloadImport::openWorkCopy()
{
    // Once its rows are staged the copy has served: it goes, whatever the outcome.
    const std::unique_ptr<StagingCopy> copy = std::move(m_workCopy);
    if (!copy)
        return Outcome::CopyFailed;
    const Outcome staged = stage(copy->path());
    return staged == Outcome::Ready ? checkStagedRows() : staged;
}

WorkloadImport::Outcome WorkloadImport::stage(const QString& copy)
{
    Database& db = *m_data.database();
    try {
        Transaction tx(db);
        db.executeBound(QStringLiteral("delete from work.%1").arg(m_table), {});
        ImportStagingSink staging(db, m_table);
        if (m_paradox)
            ParadoxFile::read(copy, staging);
        else
            DbaseFile::read(copy, staging);
        staging.finish();
        tx.commit();
    } catch (const ExchangeFileError&) {
        return Outcome::NotOurFile;
    } catch (const StoreError& e) {
        return refusalOf(e);
    }
    return Outcome::Ready;
}

WorkloadImport::Outcome WorkloadImport::checkStagedRows()
{
    Query* q = m_data.xssj1;
    try {
        q->setStatement({QStringLiteral("select * from %1 where jiaoshi<>'教师'").arg(m_table)});
        q->open();
        if (q->recordCount() == 0)
            return Outcome::NoRows;
        q->first();
        for (const ExchangeColumn& c : ExchangeTable::workloadColumns())
            q->fieldByName(c.name).asString();
    } catch (const StoreError& e) {
        return refusalOf(e);
    }
    return Outcome::Ready;
}

int WorkloadImport::rowCount() const
{
    return m_data.xssj1->recordCount();
}

WorkloadImport::Counts WorkloadImport::run(const Observer& observer)
{
    Database& db = *m_data.database();
    Counts counts;
    m_sections.clear();
    Transaction tx(db);
    m_sectionCodeTaken = db.prepare(QStringLiteral("select 1 from bmdm where bmdm=:code"));
    m_teacherCodeTaken = db.prepare(QStringLiteral("select 1 from rydm where rydm=:code"));
    // Passes 1 and 2 run a few statements per section and teacher that differ only in names.
    const Database::ReuseScope reuse(db);
    tell(observer, 10, QStringLiteral("正在写入数据库文件..."));
    facultiesAndSections(counts);
    teachers(counts);
    rows(observer);
    m_data.xssj2->close();
    m_sectionCodeTaken.reset();
    m_teacherCodeTaken.reset();
    tx.commit();
    counts.rows = rowCount();
    return counts;
}

// First pass: faculties and sections. Once a faculty is known or created, selecting it again
// would find it, so it is looked up once.
void WorkloadImport::facultiesAndSections(Counts& counts)
{
    const Query* staged = m_data.xssj1;
    const int cF = column(staged, "yuanbu"), cJ = column(staged, "jiaoyanshi"), cY = column(staged, "nd");
    QSet<QString> faculties;
    QSet<QString> entries;
    for (int row = 0; row < staged->recordCount(); ++row) {
        const QString f = text(staged, row, cF), j = text(staged, row, cJ), y = text(staged, row, cY);
        if (!faculties.contains(f)) {
            counts.faculties += addFaculty(f) ? 1 : 0;
            faculties.insert(f);
        }
        // A section is a name within a faculty: the same name under another faculty is another section.
        if (entries.contains(key(j, y, f)))
            continue;
        entries.insert(key(j, y, f));
        counts.sections += addSection(j, y, f) ? 1 : 0;
    }
}

bool WorkloadImport::addFaculty(const QString& faculty)
{
    Query* q = m_data.xssj2;
    q->setStatement({QStringLiteral("select * from yuanbu"), QStringLiteral("where mc=%1").arg(Sql::quote(faculty))});
    q->open();
    if (q->recordCount() != 0)
        return false;
    q->setStatement({QStringLiteral("insert into yuanbu(mc) values (%1)").arg(Sql::quote(faculty))});
    q->execSql();
    return true;
}

// Adds the section table's entry for a section and year; the section is created unless the store
// has it already, in which case the entry takes its code. The counter moves on either way.
bool WorkloadImport::addSection(const QString& section, const QString& year, const QString& faculty)
{
    Query* q = m_data.xssj2;
    Section entry{section, year, m_sectionCounter, faculty};
    q->setStatement({QStringLiteral("select * from bmdm"),
                     QStringLiteral("where bmmc=%1 and ybmc=%2").arg(Sql::quote(section), Sql::quote(faculty))});
    q->open();
    const bool created = q->recordCount() == 0;
    if (created) {
        entry.code = m_sectionCounter = freeCode(m_sectionCounter, *m_sectionCodeTaken);
        q->setStatement({QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values (%1,%2,%3)")
                             .arg(Sql::quote(entry.code), Sql::quote(section), Sql::quote(faculty))});
        q->execSql();
    } else {
        entry.code = q->fieldByName(QStringLiteral("bmdm")).asString();
    }
    m_sections.push_back(entry);
    m_sectionCounter = nextCode(m_sectionCounter);
    return created;
}

// Second pass: teachers. A known teacher's rows of the file's years in that section are deleted
// once; repeating the deletes for the teacher's later rows would find nothing.
void WorkloadImport::teachers(Counts& counts)
{
    const Query* staged = m_data.xssj1;
    const int cN = column(staged, "jiaoshi"), cJ = column(staged, "jiaoyanshi"), cF = column(staged, "yuanbu");
    const int cZc = column(staged, "zhicheng"), cXz = column(staged, "xingzhi"), cGw = column(staged, "gangwei");
    Query* q = m_data.xssj2;
    TeacherStatistics statistics(*m_data.database());
    QSet<QString> replaced;
    for (int row = 0; row < staged->recordCount(); ++row) {
        const QString name = text(staged, row, cN), j = text(staged, row, cJ), f = text(staged, row, cF);
        if (replaced.contains(key(name, j, f)))
            continue;
        q->setStatement({QStringLiteral("select * from rydm,bmdm"),
                         QStringLiteral("where rydm.bmdm=bmdm.bmdm and rydm.rymc=%1 and bmmc=%2")
                             .arg(Sql::quote(name), Sql::quote(j))});
        q->open();
        if (q->recordCount() != 0) {
            replaceRowsOf(name, j, f);
            replaced.insert(key(name, j, f));
            continue;
        }
        m_teacherCounter = freeCode(m_teacherCounter, *m_teacherCodeTaken);
        const auto entry = std::find_if(m_sections.cbegin(), m_sections.cend(),
                                        [&](const Section& s) { return s.name == j && s.faculty == f; });
        q->setStatement({QStringLiteral("insert into rydm (rydm,rymc,ryzc,ryxz,rygw,bmdm) values (%1,%2,%3,%4,%5,%6)")
                             .arg(Sql::quote(m_teacherCounter), Sql::quote(name), Sql::quote(text(staged, row, cZc)),
                                  Sql::quote(text(staged, row, cXz)), Sql::quote(text(staged, row, cGw)),
                                  Sql::quote(entry != m_sections.cend() ? entry->code : QString()))});
        q->execSql();
        m_teacherCounter = nextCode(m_teacherCounter);
        ++counts.teachers;
        statistics.created();
    }
}

// The first code from `code` on that no row of the table holds. The codes come from the clock,
// so another import a moment earlier (or at the same time, waiting for the write lock) may have
// taken them; this runs under the import's write lock, so a free code stays free until the commit.
// The check is the import's own bookkeeping, not one of its statements: it is not traced.
QString WorkloadImport::freeCode(QString code, PreparedStatement& taken)
{
    for (;;) {
        taken.reset();
        taken.bind(0, code);
        if (!taken.step())
            return code;
        code = nextCode(code);
    }
}

void WorkloadImport::replaceRowsOf(const QString& teacher, const QString& section, const QString& faculty)
{
    Query* q = m_data.xssj2;
    for (const Section& s : m_sections) {
        if (s.name != section || s.faculty != faculty)
            continue;
        q->setStatement({QStringLiteral("delete from gzl"),
                         QStringLiteral("where jiaoshi=%1 and jiaoyanshi=%2 and nd=%3")
                             .arg(Sql::quote(teacher), Sql::quote(section), Sql::quote(s.year))});
        q->execSql();
    }
}

// Third pass: the rows. They are copied inside the store from the work table, a slice of the
// file at a time, so that the values arrive exactly as the file holds them (nothing is turned
// into statement text) and sixty thousand rows take a second or two; the statement names the
// forty columns, numeric list first, as the export does.
void WorkloadImport::rows(const Observer& observer)
{
    const QList<ExchangeColumn> columns = ExchangeTable::workloadColumns();
    QStringList names;
    QStringList head{QStringLiteral("insert into gzl (")};
    for (int i = 0; i < columns.size(); ++i) {
        head << columns[i].name + (i + 1 < columns.size() ? QStringLiteral(",") : QStringLiteral(")"));
        names << columns[i].name;
    }
    head << QStringLiteral("select %1 from %2").arg(names.join(u','), m_table);
    // The work table's rows in the order the file holds them, sliced by their identity.
    const QString id = m_data.database()->rowIdentity();
    const Database::Result range =
        m_data.database()->select(QStringLiteral("select min(%1), max(%1) from work.%2").arg(id, m_table));
    const qint64 low = range.rows.front().value(0).toLongLong();
    const qint64 span = range.rows.front().value(1).toLongLong() - low + 1;
    const qint64 slices = std::min<qint64>(90, span);
    for (qint64 k = 0; k < slices; ++k) {
        const qint64 from = low + span * k / slices;
        const qint64 to = low + span * (k + 1) / slices - 1;
        m_data.xssj2->setStatement(
            head +
            QStringList{QStringLiteral("where jiaoshi<>'教师' and %1 between %2 and %3").arg(id).arg(from).arg(to)});
        m_data.xssj2->execSql();
        tell(observer, int(7 + 90 * (k + 1) / slices), {});
    }
}
