#include "exchange/WorkloadImport.h"

#include "exchange/DbaseFile.h"
#include "exchange/ImportStagingSink.h"
#include "exchange/ParadoxFile.h"
#include "store/Sql.h"
#include "store/DataModule.h"
#include "store/Transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace {

QString text(const Query* q, int row, int index)
{
    const QVariant v = q->value(row, index);
    return v.isValid() && !v.isNull() ? v.toString() : QString();
}

} // namespace

WorkloadImport::WorkloadImport(DataModule& data) : m_data(data), m_clock([] { return QDateTime::currentDateTime(); }) {}

QString WorkloadImport::message(Outcome outcome)
{
    switch (outcome) {
    case Outcome::NoPath:
        return NoPath;
    case Outcome::CopyFailed:
        return CopyFailed;
    case Outcome::NotOurFile:
        return NotOurFile;
    case Outcome::NoRows:
        return NoRows;
    case Outcome::Ready:
        break;
    }
    return {};
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
    if (path.isEmpty())
        return Outcome::NoPath;
    const QString ending = path.right(3).toUpper();
    if (ending != u"DBT" && ending != u"DBF")
        return Outcome::CopyFailed;
    m_paradox = ending == u"DBT";
    m_table = m_paradox ? QStringLiteral("dbtemp") : QStringLiteral("temp");
    m_workCopy = QDir(m_data.database()->dataDir())
                     .filePath(m_paradox ? QStringLiteral("dbtemp.db") : QStringLiteral("temp.dbf"));
    const QFileInfo source(path);
    if (!source.isFile())
        return Outcome::CopyFailed;
    if (source.canonicalFilePath() == QFileInfo(m_workCopy).canonicalFilePath())
        return Outcome::Ready; // the work copy itself was chosen
    if (QFile::exists(m_workCopy) && !QFile::remove(m_workCopy))
        return Outcome::CopyFailed;
    return QFile::copy(path, m_workCopy) ? Outcome::Ready : Outcome::CopyFailed;
}

WorkloadImport::Outcome WorkloadImport::openWorkCopy()
{
    Database& db = *m_data.database();
    try {
        Transaction tx(db);
        db.executeBound(QStringLiteral("delete from work.%1").arg(m_table), {});
        ImportStagingSink staging(db, m_table);
        if (m_paradox)
            ParadoxFile::read(m_workCopy, staging);
        else
            DbaseFile::read(m_workCopy, staging);
        tx.commit();
    } catch (const ExchangeFileError&) {
        return Outcome::NotOurFile;
    } catch (const StoreError&) {
        // The file's rows could not be staged: it cannot be opened as an exchange table.
        return Outcome::NotOurFile;
    }

    const QList<ExchangeColumn> wanted = ExchangeTable::workloadColumns();
    Query* q = m_data.xssj1;
    try {
        q->setStatement({QStringLiteral("select * from %1 where jiaoshi<>'教师'").arg(m_table)});
        q->open();
        if (q->recordCount() == 0)
            return Outcome::NoRows;
        q->first();
        for (const ExchangeColumn& c : wanted)
            q->fieldByName(c.name).asString();
    } catch (const StoreError&) {
        return Outcome::NotOurFile;
    }
    return Outcome::Ready;
}

int WorkloadImport::rowCount() const
{
    return m_data.xssj1->recordCount();
}

WorkloadImport::Counts WorkloadImport::run(const Observer& observer)
{
    const auto report = [&](int progress, const QString& status) {
        if (observer)
            observer(progress, status);
    };
    const QList<ExchangeColumn> columns = ExchangeTable::workloadColumns();
    const Query* rows = m_data.xssj1;
    Query* q = m_data.xssj2;
    const int n = rows->recordCount();
    const auto col = [&](const char* name) { return *rows->findField(QString::fromLatin1(name)); };
    const int cF = col("yuanbu"), cJ = col("jiaoyanshi"), cY = col("nd"), cN = col("jiaoshi");
    const int cZc = col("zhicheng"), cXz = col("xingzhi"), cGw = col("gangwei");

    Counts counts;
    m_sections.clear();
    const auto entryOf = [&](const QString& name, const QString& faculty) -> const Section* {
        for (const Section& s : m_sections)
            if (s.name == name && s.faculty == faculty)
                return &s;
        return nullptr;
    };

    Transaction tx(*m_data.database());
    // Passes 1 and 2 run a few statements per section and teacher that differ only in names.
    const Database::ReuseScope reuse(*m_data.database());
    report(10, QStringLiteral("正在写入数据库文件..."));

    // First pass: faculties and sections. Once a faculty is known or created, selecting it
    // again would find it, so it is looked up once.
    QSet<QString> faculties;
    QSet<QString> entries;
    for (int row = 0; row < n; ++row) {
        const QString f = text(rows, row, cF), j = text(rows, row, cJ), y = text(rows, row, cY);
        if (!faculties.contains(f)) {
            q->setStatement({QStringLiteral("select * from yuanbu"), QStringLiteral("where mc=%1").arg(Sql::quote(f))});
            q->open();
            if (q->recordCount() == 0) {
                q->setStatement({QStringLiteral("insert into yuanbu(mc) values (%1)").arg(Sql::quote(f))});
                q->execSql();
                ++counts.faculties;
            }
            faculties.insert(f);
        }
        // A section is a name within a faculty: the same name under another faculty is another section.
        const QString key = j + QChar(0x1f) + y + QChar(0x1f) + f;
        if (entries.contains(key))
            continue;
        entries.insert(key);
        Section entry{j, y, m_sectionCounter, f};
        q->setStatement({QStringLiteral("select * from bmdm"),
                         QStringLiteral("where bmmc=%1 and ybmc=%2").arg(Sql::quote(j), Sql::quote(f))});
        q->open();
        if (q->recordCount() == 0) {
            q->setStatement({QStringLiteral("insert into bmdm (bmdm,bmmc,ybmc) values (%1,%2,%3)")
                                 .arg(Sql::quote(entry.code), Sql::quote(j), Sql::quote(f))});
            q->execSql();
            ++counts.sections;
        } else {
            entry.code = q->fieldByName(QStringLiteral("bmdm")).asString();
        }
        m_sections.push_back(entry);
        m_sectionCounter = nextCode(m_sectionCounter);
    }

    // Second pass: teachers. A known teacher's rows of the file's years in that section are deleted
    // once; repeating the deletes for the teacher's later rows would find nothing.
    enum class Seen
    {
        Created,
        Replaced
    };
    QHash<QString, Seen> teachers;
    // The teacher look-up joins rydm and bmdm by name; with fresh statistics the store starts from
    // the section rather than scanning every teacher, which matters with thousands of teachers.
    // They are renewed whenever the teachers created since double the table.
    Database& db = *m_data.database();
    const auto analyze = [&db] {
        db.executeInternal(QStringLiteral("ANALYZE rydm"));
        db.executeInternal(QStringLiteral("ANALYZE bmdm"));
    };
    qint64 analyzedTeachers = db.select(QStringLiteral("select count(*) from rydm")).rows.front().value(0).toLongLong();
    qint64 createdSinceAnalyze = 0;
    analyze();
    for (int row = 0; row < n; ++row) {
        const QString name = text(rows, row, cN), j = text(rows, row, cJ), f = text(rows, row, cF);
        const QString key = name + QChar(0x1f) + j + QChar(0x1f) + f;
        const auto seen = teachers.constFind(key);
        if (seen != teachers.constEnd() && *seen == Seen::Replaced)
            continue;
        q->setStatement({QStringLiteral("select * from rydm,bmdm"),
                         QStringLiteral("where rydm.bmdm=bmdm.bmdm and rydm.rymc=%1 and bmmc=%2")
                             .arg(Sql::quote(name), Sql::quote(j))});
        q->open();
        if (q->recordCount() == 0) {
            const Section* entry = entryOf(j, f);
            q->setStatement({QStringLiteral("insert into rydm (rydm,rymc,ryzc,ryxz,rygw,bmdm) values "
                                            "(%1,%2,%3,%4,%5,%6)")
                                 .arg(Sql::quote(m_teacherCounter), Sql::quote(name), Sql::quote(text(rows, row, cZc)),
                                      Sql::quote(text(rows, row, cXz)), Sql::quote(text(rows, row, cGw)),
                                      Sql::quote(entry ? entry->code : QString()))});
            q->execSql();
            m_teacherCounter = nextCode(m_teacherCounter);
            ++counts.teachers;
            if (++createdSinceAnalyze >= std::max<qint64>(64, analyzedTeachers)) {
                analyzedTeachers += createdSinceAnalyze;
                createdSinceAnalyze = 0;
                analyze();
            }
            teachers.insert(key, Seen::Created);
        } else {
            for (const Section& s : m_sections) {
                if (s.name != j || s.faculty != f)
                    continue;
                q->setStatement(
                    {QStringLiteral("delete from gzl"), QStringLiteral("where jiaoshi=%1 and jiaoyanshi=%2 and nd=%3")
                                                            .arg(Sql::quote(name), Sql::quote(j), Sql::quote(s.year))});
                q->execSql();
            }
            teachers.insert(key, Seen::Replaced);
        }
    }

    // Third pass: the rows. They are copied inside the store from the work table, a slice of the
    // file at a time, so that the values arrive exactly as the file holds them (nothing is turned
    // into statement text) and sixty thousand rows take a second or two; the statement names the
    // forty columns, numeric list first, as the export does.
    QStringList names;
    QStringList head{QStringLiteral("insert into gzl (")};
    for (int i = 0; i < columns.size(); ++i) {
        head << columns[i].name + (i + 1 < columns.size() ? QStringLiteral(",") : QStringLiteral(")"));
        names << columns[i].name;
    }
    head << QStringLiteral("select %1 from %2").arg(names.join(u','), m_table);
    const Database::Result range =
        m_data.database()->select(QStringLiteral("select min(rowid), max(rowid) from work.%1").arg(m_table));
    const qint64 low = range.rows.front().value(0).toLongLong();
    const qint64 high = range.rows.front().value(1).toLongLong();
    const qint64 span = high - low + 1;
    const qint64 slices = std::min<qint64>(90, span);
    for (qint64 k = 0; k < slices; ++k) {
        const qint64 from = low + span * k / slices;
        const qint64 to = low + span * (k + 1) / slices - 1;
        QStringList lines = head;
        lines << QStringLiteral("where jiaoshi<>'教师' and rowid between %1 and %2").arg(from).arg(to);
        q->setStatement(lines);
        q->execSql();
        report(int(7 + 90 * (k + 1) / slices), {});
    }
    q->close();
    tx.commit();
    counts.rows = n;
    return counts;
}
