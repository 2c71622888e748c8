#include "migrate/Migration.h"

#include "exchange/BoundInsert.h"
#include "exchange/ExchangeFileError.h"
#include "exchange/ParadoxMemoFile.h"
#include "exchange/ParadoxReader.h"
#include "migrate/KeyDuplicates.h"
#include "migrate/TableCopy.h"
#include "store/Database.h"
#include "store/PasswordHash.h"
#include "store/StoreSchema.h"
#include "store/Transaction.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <optional>

namespace {

constexpr qint64 ProgressStep = 1024;

// The key the store keeps unique in a table, if any.
const char* keyOf(const QString& table)
{
    if (table == u"gzl")
        return "xh";
    if (table == u"rydm")
        return "rydm";
    if (table == u"bmdm")
        return "bmdm";
    if (table == u"yuanbu")
        return "mc";
    return nullptr;
}

// The settings record is the table file "system.db" of the old program.
QString fileNameOf(const QString& table)
{
    return table;
}

int columnIndex(const QString& table, const char* column)
{
    const std::vector<StoreSchema::ColumnDef>& columns = StoreSchema::tableColumns(table);
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (qstrcmp(columns[i].name, column) == 0)
            return int(i);
    return -1;
}

QString keyWord(const QString& table)
{
    if (table == u"gzl")
        return QStringLiteral("序号");
    if (table == u"rydm")
        return QStringLiteral("教师代码");
    if (table == u"bmdm")
        return QStringLiteral("教研室代码");
    return QStringLiteral("院部");
}

// A table file's bytes, mapped rather than read where the system allows.
class FileBytes
{
public:
    explicit FileBytes(const QString& path) : m_file(path)
    {
        if (!m_file.open(QIODevice::ReadOnly))
            throw ExchangeFileError(m_file.errorString(), ProgramError::Kind::Io);
        const qint64 size = m_file.size();
        if (uchar* p = size > 0 ? m_file.map(0, size) : nullptr)
            m_bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(p), qsizetype(size));
        else
            m_bytes = m_file.readAll();
    }
    const QByteArray& bytes() const { return m_bytes; }

private:
    QFile m_file;
    QByteArray m_bytes;
};

} // namespace

const QStringList& Migration::tables()
{
    static const QStringList names{QStringLiteral("gzl"),    QStringLiteral("rydm"),         QStringLiteral("bmdm"),
                                   QStringLiteral("yuanbu"), QStringLiteral("sysparameter"), QStringLiteral("user1"),
                                   QStringLiteral("niandu"), QStringLiteral("system")};
    return names;
}

Migration::Migration(const QString& oldDir, bool repair) : m_old(oldDir), m_repair(repair)
{
    // Codes for sections and teachers that need one, made from the time as the import makes them.
    const qint64 now = QDateTime::currentDateTime().toString(QStringLiteral("yyMMddhhmmsszzz")).toLongLong();
    m_counters.insert(QStringLiteral("bmdm"), now);
    m_counters.insert(QStringLiteral("rydm"), now);
}

OldInstallation::TableFiles Migration::filesOf(const QString& table) const
{
    const std::optional<OldInstallation::TableFiles> files = m_old.find(fileNameOf(table));
    if (!files)
        throw ProgramError(ProgramError::Kind::DamagedFile,
                           QStringLiteral("原系统的数据目录 %1 中没有 %2.db，不能迁移")
                               .arg(QDir::toNativeSeparators(m_old.dir()), fileNameOf(table)));
    return *files;
}

void Migration::read(const QString& table, ExchangeRowSink& sink, bool writing)
{
    const OldInstallation::TableFiles files = filesOf(table);
    // The file a refusal names: the memo file while it is opened, else the table's.
    QString reading = files.memo;
    try {
        std::optional<FileBytes> memoBytes;
        std::optional<ParadoxMemoFile> memo;
        if (!files.memo.isEmpty()) {
            memoBytes.emplace(files.memo);
            memo.emplace(memoBytes->bytes());
        }
        reading = files.data;
        const FileBytes data(files.data);
        ParadoxReader reader(data.bytes());
        reader.requireGbk();
        if (memo)
            reader.setMemoFile(&*memo);
        if (m_progress)
            m_progress(table, 0, reader.recordCount(), writing);
        reader.read(sink);
        if (m_progress)
            m_progress(table, reader.recordCount(), reader.recordCount(), writing);
    } catch (const ExchangeFileError& e) {
        throw ProgramError(ProgramError::Kind::DamagedFile,
                           QStringLiteral("不能迁移 %1: %2").arg(QDir::toNativeSeparators(reading), e.text()));
    }
}

const MigrationReport& Migration::check()
{
    m_report = {};
    m_plans.clear();
    for (const QString& table : tables())
        filesOf(table); // a missing table refuses before any is read
    for (const QString& table : tables())
        checkTable(table);
    m_report.notes << QStringLiteral(
                          "rydm 中的工作量合计 (q, q11, q12, q2, q31, q32, q33) 是原系统最后一次计算的结果；"
                          "要按本系统重新计算，请在程序中对 %1 执行\"计算\"（或 workloadctl calc --year %1 --all）")
                          .arg(m_year);
    m_checked = true;
    return m_report;
}

void Migration::checkTable(const QString& table)
{
    const char* key = keyOf(table);
    const int keyColumn = key ? columnIndex(table, key) : -1;
    const int yearColumn = table == u"niandu" || table == u"system" ? 0 : -1;
    KeyDuplicates keys(table == u"rydm" || table == u"bmdm");
    qint64 total = 0;
    TableCopy copy(
        StoreSchema::tableColumns(table),
        [&](qint64 row, std::span<const ExchangeValue> values) {
            if (keyColumn >= 0)
                keys.see(row, values[std::size_t(keyColumn)], values);
            // The settings record's year, or else the last year of the list.
            if (yearColumn >= 0 && (table == u"niandu" || row == 1) && values[0].type == ExchangeValue::Type::Text)
                m_year = KeyDuplicates::keyText(values[0]);
            if (m_progress && row % ProgressStep == 0)
                m_progress(table, row, -1, false);
            total = row;
        },
        [&](qint64 row, const QString& column, const QString& problem) {
            m_report.addConflict(QStringLiteral("%1 第 %2 行 %3: %4").arg(table).arg(row).arg(column, problem));
        });
    read(table, copy, false);
    noteColumns(table, copy);
    decideDuplicates(table, keys);
    if (table == u"user1" && total == 0)
        m_report.addConflict(QStringLiteral("user1: 原表中没有操作员，迁移以后谁也不能登录"));
    m_addSettingsRow = table == u"system" ? total == 0 : m_addSettingsRow;
    if (table == u"system" && total == 0)
        m_report.changes << QStringLiteral("system: 原表中没有设置记录，添加一行，年度为 %1").arg(m_year);
    m_report.tables << MigrationReport::Table{table, total - m_plans[table].dropped.size() +
                                                         (table == u"system" && total == 0 ? 1 : 0)};
}

void Migration::noteColumns(const QString& table, const TableCopy& copy)
{
    for (const QString& column : copy.missingColumns())
        m_report.changes << QStringLiteral("%1: 原表没有列 %2，迁移后为空").arg(table, column);
    for (const QString& column : copy.extraColumns())
        m_report.changes << QStringLiteral("%1: 原表的列 %2 不是本系统的列，没有迁移").arg(table, column);
}

QString Migration::nextCode(const KeyDuplicates& keys, const QString& table)
{
    qint64& counter = m_counters[table];
    QString code;
    do
        code = QString::number(counter++);
    while (keys.taken(code));
    return code;
}

void Migration::decideDuplicates(const QString& table, const KeyDuplicates& keys)
{
    Plan& plan = m_plans[table];
    qint64 serial = keys.highestNumber();
    for (const KeyDuplicates::Duplicate& d : keys.duplicates()) {
        const QString what = QStringLiteral("%1 第 %2 行: %3 %4 与第 %5 行重复")
                                 .arg(table)
                                 .arg(d.row)
                                 .arg(keyWord(table), d.key)
                                 .arg(d.first);
        if (!m_repair) {
            m_report.addConflict(what);
        } else if (table == u"yuanbu" || d.sameRow) {
            plan.dropped.insert(d.row);
            m_report.changes << what + QStringLiteral("，整行相同，合并为一行");
        } else if (table == u"gzl") {
            const QString next = QString::number(++serial);
            plan.newKeys.insert(d.row, next);
            m_report.changes << what + QStringLiteral("，序号改为 %1").arg(next);
        } else {
            const QString code = nextCode(keys, table);
            plan.newKeys.insert(d.row, code);
            m_report.changes << what + QStringLiteral("，代码改为 %1").arg(code) +
                                    (table == u"bmdm"
                                         ? QStringLiteral("（该代码的教师仍属第 %1 行的教研室）").arg(d.first)
                                         : QString());
        }
    }
}

void Migration::write(Database& db)
{
    if (!m_checked)
        check();
    if (m_report.refused())
        throw ProgramError(ProgramError::Kind::RefusedInput, QStringLiteral("原系统的表中有冲突，没有迁移"));
    Transaction tx(db);
    for (const QString& table : tables())
        db.execute(QStringLiteral("delete from ") + table);
    for (const QString& table : tables())
        writeTable(db, table);
    if (m_addSettingsRow)
        db.executeBound(QStringLiteral("insert into system (Nd,yx,jys,jysmc) values (:nd,'','','')"), {m_year});
    // The teachers and sections are looked up by the next commands from their first statement
    // on (the calculation takes care of the workload rows itself).
    db.refreshPlannerStatistics(QStringLiteral("rydm"));
    db.refreshPlannerStatistics(QStringLiteral("bmdm"));
    tx.commit();
}

void Migration::writeTable(Database& db, const QString& table)
{
    const std::vector<StoreSchema::ColumnDef>& columns = StoreSchema::tableColumns(table);
    QStringList names;
    for (const StoreSchema::ColumnDef& c : columns)
        names << QString::fromLatin1(c.name);
    // The settings record is a view on a server (a record per operator): one insert at a time.
    BoundInsert insert =
        table == u"system" ? BoundInsert(db, Database::appendStatement(table, names)) : BoundInsert(db, table, names);
    const Plan& plan = m_plans[table];
    const char* key = keyOf(table);
    const int keyColumn = key ? columnIndex(table, key) : -1;
    const int passwordColumn = table == u"user1" ? columnIndex(table, "password1") : -1;
    TableCopy copy(
        columns,
        [&](qint64 row, std::span<const ExchangeValue> values) {
            if (m_progress && row % ProgressStep == 0)
                m_progress(table, row, -1, true);
            if (plan.dropped.contains(row))
                return;
            for (std::size_t c = 0; c < values.size(); ++c)
                insert.bind(int(c), values[c], BoundInsert::Text::Stays);
            if (const auto newKey = plan.newKeys.constFind(row); newKey != plan.newKeys.constEnd()) {
                const QByteArray text = newKey->toUtf8();
                insert.bind(keyColumn, table == u"gzl"
                                           ? ExchangeValue::ofInteger(newKey->toLongLong())
                                           : ExchangeValue::ofText({text.constData(), std::size_t(text.size())}));
            }
            if (passwordColumn >= 0) {
                // The old program kept the password as typed; the store keeps only its hash.
                const QString clear = KeyDuplicates::keyText(values[std::size_t(passwordColumn)]);
                const QByteArray hash = PasswordHash::hash(clear).toUtf8();
                insert.bind(passwordColumn, ExchangeValue::ofText({hash.constData(), std::size_t(hash.size())}));
            }
            insert.run();
        },
        [](qint64, const QString&, const QString&) {});
    read(table, copy, true);
    insert.finish();
}
