#include "store/SqliteDatabase.h"

#include "store/Gbk.h"
#include "store/GbkFunctions.h"
#include "store/PasswordHash.h"
#include "store/SqlDialect.h"
#include "store/SqliteCalculationGuard.h"
#include "store/SqlitePlannerStatistics.h"
#include "store/SqlitePreparedStatement.h"
#include "store/SqliteWorkloadStage.h"
#include "store/StatementShape.h"
#include "store/StoreSchema.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

#include <sqlite3.h>

namespace {

// How often a running statement is checked against the step limit.
constexpr int StepsBetweenChecks = 1000;

QString errorText(sqlite3* db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

} // namespace

StoreError::Kind SqliteDatabase::errorKind(int code)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return StoreError::Kind::Busy;
    case SQLITE_FULL:
        return StoreError::Kind::DiskFull;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return StoreError::Kind::DamagedFile;
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return StoreError::Kind::Io;
    default:
        return StoreError::Kind::RefusedInput;
    }
}

StoreError SqliteDatabase::lastError(const QString& statement) const
{
    const int code = sqlite3_extended_errcode(m_db);
    return StoreError(failureText(code), statement, errorKind(code));
}

namespace {

int authorize(void* self, int action, const char* a, const char* b, const char* db, const char*)
{
    const auto& authorizer = *static_cast<SqliteDatabase::Authorizer*>(self);
    return authorizer ? authorizer(action, a, b, db) : SQLITE_OK;
}

bool onlySpaceLeft(const char* tail)
{
    // What may follow the one statement: blanks, semicolons and comments.
    const char* p = tail;
    while (*p) {
        if (*p == ';' || *p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') {
            ++p;
        } else if (p[0] == '-' && p[1] == '-') {
            while (*p && *p != '\n')
                ++p;
        } else if (p[0] == '/' && p[1] == '*') {
            const char* end = strstr(p + 2, "*/");
            if (!end)
                return true;
            p = end + 2;
        } else {
            return false;
        }
    }
    return true;
}

void addValue(ResultRows& rows, sqlite3_stmt* stmt, int i)
{
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER:
        rows.addInteger(sqlite3_column_int64(stmt, i));
        break;
    case SQLITE_FLOAT:
        rows.addNumber(sqlite3_column_double(stmt, i));
        break;
    case SQLITE_TEXT:
        rows.addText(std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)),
                                      std::size_t(sqlite3_column_bytes(stmt, i))));
        break;
    case SQLITE_BLOB:
        rows.addBlob(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, i)), sqlite3_column_bytes(stmt, i)));
        break;
    default:
        rows.addNull();
        break;
    }
}

} // namespace

SqliteDatabase::SqliteDatabase(sqlite3* db, QString dataDir) : m_db(db), m_dataDir(std::move(dataDir)) {}

SqliteDatabase::~SqliteDatabase()
{
    dropReusedStatements();
    sqlite3_close_v2(m_db);
}

std::unique_ptr<SqliteDatabase> SqliteDatabase::connect(const QString& dataDir, bool create)
{
    const QString path = storePath(dataDir);
    if (create && exists(dataDir))
        throw StoreError(QStringLiteral("数据目录中已有数据库: %1").arg(path));
    if (!create && !exists(dataDir))
        throw StoreError(QStringLiteral("数据目录中没有数据库: %1").arg(path));
    // Before the first connection: no memory statistics, which the program never reads and which
    // cost a lock on every allocation the store makes.
    static const bool configured = [] { return sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK; }();
    Q_UNUSED(configured);
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString text = db ? errorText(db) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        throw StoreError(QStringLiteral("%1: %2").arg(text, path));
    }
    std::unique_ptr<SqliteDatabase> database(new SqliteDatabase(db, QFileInfo(dataDir).absoluteFilePath()));
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, BusyWaitMs);
    // A file that is not a store of this program is refused before anything is written to it
    // (the journal mode below would already change it).
    if (!create)
        database->verifyLayout();
    database->configure();
    return database;
}

std::unique_ptr<SqliteDatabase> SqliteDatabase::open(const QString& dataDir)
{
    auto db = connect(dataDir, false);
    db->migrate();
    return db;
}

std::unique_ptr<SqliteDatabase> SqliteDatabase::create(const QString& dataDir)
{
    auto db = connect(dataDir, true);
    db->executeInternal(QStringLiteral("BEGIN"));
    try {
        for (const QString& s : StoreSchema::createStatements())
            db->executeInternal(s);
        db->executeInternal(QStringLiteral("PRAGMA user_version=%1").arg(StoreSchema::Version));
        db->executeInternal(QStringLiteral("COMMIT"));
    } catch (...) {
        db->executeInternal(QStringLiteral("ROLLBACK"));
        throw;
    }
    return db;
}

void SqliteDatabase::verifyLayout()
{
    const QString notOurs = QStringLiteral("不是本系统的数据库: %1").arg(storePath(m_dataDir));
    int version = 0;
    bool tables = false;
    try {
        Result r;
        run(QStringLiteral("PRAGMA user_version"), &r);
        version = r.rows.empty() ? 0 : r.rows.front().value(0).toInt();
        run(QStringLiteral("select count(*) from sqlite_master where type='table' and name in ('gzl','rydm','system')"),
            &r);
        tables = !r.rows.empty() && r.rows.front().value(0).toInt() == 3;
    } catch (const StoreError& e) {
        if (e.kind() == StoreError::Kind::Busy)
            throw;
        throw StoreError(notOurs + QStringLiteral(" (") + e.text() + u')', {}, StoreError::Kind::DamagedFile);
    }
    if (version > StoreSchema::Version)
        throw StoreError(
            QStringLiteral("数据库版本 %1 比本程序新 (本程序: %2)").arg(version).arg(StoreSchema::Version));
    if (version < 1 || !tables)
        throw StoreError(notOurs, {}, StoreError::Kind::DamagedFile);
}

void SqliteDatabase::configure()
{
    if (const QString failure = Gbk::converterFailure(); !failure.isEmpty())
        throw StoreError(failure, {}, StoreError::Kind::Io);
    if (!GbkFunctions::add(m_db))
        throw StoreError(QStringLiteral("不能登记GBK宽度函数和排序规则: %1").arg(errorText(m_db)));
    executeInternal(QStringLiteral("PRAGMA journal_mode=WAL"));
    // FULL: in WAL mode a commit then survives a power cut, not only a killed program.
    executeInternal(QStringLiteral("PRAGMA synchronous=FULL"));
    executeInternal(QStringLiteral("PRAGMA foreign_keys=OFF"));
    // The calculation stages a node's rows in a temporary table: kept in memory, it costs no file.
    executeInternal(QStringLiteral("PRAGMA temp_store=MEMORY"));
    // The import's staging tables live in a separate work database, so that unqualified
    // names such as dbtemp and temp resolve there and the store file stays untouched by them.
    executeInternal(QStringLiteral("ATTACH DATABASE ':memory:' AS work"));
    for (const QString& s : StoreSchema::createWorkStatements(QStringLiteral("work")))
        executeInternal(s);
}

void SqliteDatabase::migrate()
{
    const Result r = [&] {
        Result out;
        run(QStringLiteral("PRAGMA user_version"), &out);
        return out;
    }();
    const int version = r.rows.empty() ? 0 : r.rows.front().value(0).toInt();
    if (version > StoreSchema::Version)
        throw StoreError(
            QStringLiteral("数据库版本 %1 比本程序新 (本程序: %2)").arg(version).arg(StoreSchema::Version));
    if (version < 1)
        throw StoreError(QStringLiteral("不是本系统的数据库: %1").arg(storePath(m_dataDir)));
    for (int from = version; from < StoreSchema::Version; ++from) {
        executeInternal(QStringLiteral("BEGIN IMMEDIATE"));
        try {
            for (const QString& statement : StoreSchema::upgradeStatements(from))
                executeInternal(statement);
            upgradeData(from);
            executeInternal(QStringLiteral("PRAGMA user_version=%1").arg(from + 1));
            executeInternal(QStringLiteral("COMMIT"));
        } catch (...) {
            executeInternal(QStringLiteral("ROLLBACK"));
            throw;
        }
    }
}

void SqliteDatabase::upgradeData(int from)
{
    if (from != 4)
        return;
    // Layout 5 keeps no password in clear text: every one is replaced by its salted hash once.
    Result operators;
    run(QStringLiteral("select rowid, password1 from user1"), &operators);
    for (const QVariantList& row : operators.rows) {
        const QString stored = row.value(1).toString();
        if (row.value(1).isNull() || PasswordHash::isHash(stored))
            continue;
        const QVariantList values{PasswordHash::hash(stored), row.value(0)};
        run(QStringLiteral("update user1 set password1=? where rowid=?"), nullptr, &values);
    }
}

void SqliteDatabase::setAuthorizer(Authorizer authorizer)
{
    // The store asks the authorizer when it compiles a statement: none compiled before may run after.
    dropReusedStatements();
    m_authorizer = std::move(authorizer);
    if (m_authorizer)
        sqlite3_set_authorizer(m_db, authorize, &m_authorizer);
    else
        sqlite3_set_authorizer(m_db, nullptr, nullptr);
}

void SqliteDatabase::setStepLimit(quint64 steps)
{
    m_stepLimit = steps;
    m_steps = 0;
    if (steps)
        sqlite3_progress_handler(m_db, StepsBetweenChecks, &SqliteDatabase::countSteps, this);
    else
        sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
}

int SqliteDatabase::countSteps(void* self)
{
    auto& db = *static_cast<SqliteDatabase*>(self);
    db.m_steps += StepsBetweenChecks;
    return db.m_steps > db.m_stepLimit ? 1 : 0;
}

QString SqliteDatabase::failureText(int rc) const
{
    if ((rc & 0xff) == SQLITE_INTERRUPT && m_stepLimit && m_steps > m_stepLimit)
        return QStringLiteral("语句运行过久: 执行了 %1 步仍未结束, 已被中止").arg(m_stepLimit);
    return errorText(m_db);
}

SqliteDatabase& SqliteDatabase::of(Database& db)
{
    return static_cast<SqliteDatabase&>(db);
}

void SqliteDatabase::begin()
{
    // The write lock at once: a command's checks then see what it writes over.
    executeInternal(QStringLiteral("BEGIN IMMEDIATE"));
}

void SqliteDatabase::commit()
{
    executeInternal(QStringLiteral("COMMIT"));
}

void SqliteDatabase::rollback()
{
    executeInternal(QStringLiteral("ROLLBACK"));
}

void SqliteDatabase::savepoint(const QString& name)
{
    executeInternal(QStringLiteral("SAVEPOINT ") + name);
}

void SqliteDatabase::release(const QString& name)
{
    executeInternal(QStringLiteral("RELEASE ") + name);
}

void SqliteDatabase::rollbackTo(const QString& name)
{
    executeInternal(QStringLiteral("ROLLBACK TO ") + name);
}

std::unique_ptr<PreparedStatement> SqliteDatabase::prepare(const QString& statement)
{
    return std::make_unique<SqlitePreparedStatement>(*this, statement);
}

std::unique_ptr<Database::Scope> SqliteDatabase::guardCalculation(const CalculationGrant& grant)
{
    return std::make_unique<SqliteCalculationGuard>(*this, grant);
}

std::unique_ptr<WorkloadStage> SqliteDatabase::stageWorkload(const QString& filter)
{
    // A trigger on the workload rows would fire when the stage is written back rather than after
    // each statement, and may then do something else: such a store is calculated on its table.
    SqlitePreparedStatement triggers(
        *this, QStringLiteral("select 1 from main.sqlite_master where type='trigger' and lower(tbl_name)='gzl'"));
    if (triggers.step())
        return nullptr;
    return std::make_unique<SqliteWorkloadStage>(*this, filter);
}

void SqliteDatabase::refreshPlannerStatistics(const QString& table)
{
    SqlitePlannerStatistics::refresh(*this, table);
}

bool SqliteDatabase::inTransaction() const
{
    return sqlite3_get_autocommit(m_db) == 0;
}

QStringList SqliteDatabase::columnsOf(const QString& table)
{
    const QString key = table.toLower();
    auto it = m_columns.constFind(key);
    if (it != m_columns.cend())
        return it.value();
    Result r;
    // The lookup is the store's own business, not one of the program's statements: untraced.
    const Tracer tracer = std::exchange(m_tracer, Tracer());
    try {
        run(QStringLiteral("PRAGMA table_info(\"%1\")").arg(QString(key).replace(u'"', QStringLiteral("\"\""))), &r);
    } catch (...) {
        m_tracer = tracer;
        throw;
    }
    m_tracer = tracer;
    QStringList names;
    for (const QVariantList& row : r.rows)
        names << row.value(1).toString().toLower();
    m_columns.insert(key, names);
    return names;
}

int SqliteDatabase::liveStatements() const
{
    int n = 0;
    for (sqlite3_stmt* s = sqlite3_next_stmt(m_db, nullptr); s; s = sqlite3_next_stmt(m_db, s))
        ++n;
    return n;
}

bool SqliteDatabase::setReuse(bool on)
{
    const bool wasOff = !m_reuse;
    m_reuse = on;
    if (!on)
        dropReusedStatements();
    return wasOff;
}

sqlite3_stmt* SqliteDatabase::reusedStatement(const QByteArray& sql)
{
    const std::string key = sql.toStdString();
    const auto found = m_reused.find(key);
    if (found != m_reused.end())
        return found->second;
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    // A shape the store does not take (a value where only a literal may stand) runs as given;
    // it is remembered as such, so it is not tried again.
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &stmt, &tail) != SQLITE_OK || !stmt ||
        (tail && !onlySpaceLeft(tail))) {
        sqlite3_finalize(stmt);
        stmt = nullptr;
    }
    if (m_reused.size() >= 256)
        dropReusedStatements();
    m_reused.emplace(key, stmt);
    return stmt;
}

void SqliteDatabase::dropReusedStatements()
{
    for (const auto& entry : m_reused)
        sqlite3_finalize(entry.second);
    m_reused.clear();
}

Database::Result SqliteDatabase::select(const QString& statement)
{
    Result result;
    run(statement, &result);
    return result;
}

bool SqliteDatabase::hasRows(const QString& statement)
{
    return run(statement, nullptr, nullptr, true) > 0;
}

int SqliteDatabase::execute(const QString& statement)
{
    return run(statement, nullptr);
}

int SqliteDatabase::executeInternal(const QString& statement)
{
    const QByteArray sql = statement.toUtf8();
    char* message = nullptr;
    m_steps = 0;
    if (const int rc = sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, &message); rc != SQLITE_OK) {
        const QString text = (rc & 0xff) == SQLITE_INTERRUPT || !message ? failureText(rc) : QString::fromUtf8(message);
        sqlite3_free(message);
        throw StoreError(text, statement, errorKind(sqlite3_extended_errcode(m_db)));
    }
    m_columns.clear();
    return sqlite3_changes(m_db);
}

int SqliteDatabase::executeBound(const QString& statement, const QVariantList& values)
{
    return run(statement, nullptr, &values);
}

struct SqliteDatabase::Compiled
{
    sqlite3_stmt* stmt = nullptr;
    bool reused = false; // a reused statement is only reset afterwards; any other is finalized
};

int SqliteDatabase::run(const QString& given, Result* result, const QVariantList* values, bool firstRowOnly)
{
    const QString statement = dialectOf(given);
    if (m_tracer)
        m_tracer(statement);
    const QByteArray sql = statement.toUtf8();
    const Compiled compiled = compile(statement, sql, values != nullptr);
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> done(compiled.stmt,
                                                               compiled.reused ? sqlite3_reset : sqlite3_finalize);
    if (values)
        bindValues(compiled.stmt, *values, statement);
    return stepRows(compiled.stmt, result, firstRowOnly, statement);
}

QString SqliteDatabase::dialectOf(const QString& given)
{
    try {
        return SqlDialect::resolveSharedColumns(given, [this](const QString& table) { return columnsOf(table); });
    } catch (const StoreError& e) {
        // A refused column lookup is a refusal of the statement that needed it.
        throw StoreError(e.text(), given);
    }
}

// A statement that differs from one compiled before only in its quoted values runs as that one
// with the values bound, while reuse is on; any other is compiled here.
SqliteDatabase::Compiled SqliteDatabase::compile(const QString& statement, const QByteArray& sql, bool bound)
{
    if (m_reuse && !bound) {
        if (const std::optional<StatementShape> shape = StatementShape::of(statement)) {
            if (sqlite3_stmt* stmt = reusedStatement(QByteArray::fromStdString(shape->text))) {
                sqlite3_reset(stmt);
                sqlite3_clear_bindings(stmt);
                for (std::size_t i = 0; i < shape->values.size(); ++i) {
                    const std::string& v = shape->values[i];
                    if (sqlite3_bind_text(stmt, int(i) + 1, v.data(), int(v.size()), SQLITE_TRANSIENT) != SQLITE_OK)
                        throw lastError(statement);
                }
                return {stmt, true};
            }
        }
    }
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &stmt, &tail) != SQLITE_OK)
        throw lastError(statement);
    if (!stmt)
        throw StoreError(QStringLiteral("语句为空"), statement);
    if (tail && !onlySpaceLeft(tail)) {
        sqlite3_finalize(stmt);
        throw StoreError(QStringLiteral("一次只能执行一条语句"), statement);
    }
    return {stmt, false};
}

void SqliteDatabase::bindValues(sqlite3_stmt* stmt, const QVariantList& values, const QString& statement)
{
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& v = values.at(i);
        int bound = SQLITE_OK;
        if (!v.isValid() || v.isNull()) {
            bound = sqlite3_bind_null(stmt, i + 1);
        } else if (v.typeId() == QMetaType::Double) {
            bound = sqlite3_bind_double(stmt, i + 1, v.toDouble());
        } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Bool) {
            bound = sqlite3_bind_int64(stmt, i + 1, v.toLongLong());
        } else {
            const QByteArray text = v.toString().toUtf8();
            bound = sqlite3_bind_text(stmt, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        if (bound != SQLITE_OK)
            throw lastError(statement);
    }
}

int SqliteDatabase::stepRows(sqlite3_stmt* stmt, Result* result, bool firstRowOnly, const QString& statement)
{
    const int columns = sqlite3_column_count(stmt);
    if (result) {
        result->columns.clear();
        result->rows = ResultRows(columns);
        for (int i = 0; i < columns; ++i) {
            const char* decl = sqlite3_column_decltype(stmt, i);
            result->columns.push_back({QString::fromUtf8(sqlite3_column_name(stmt, i)),
                                       decl ? QString::fromUtf8(decl).toUpper() : QString()});
        }
    }
    int rc;
    m_steps = 0;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        if (firstRowOnly)
            return 1;
        if (!result)
            continue;
        for (int i = 0; i < columns; ++i)
            addValue(result->rows, stmt, i);
    }
    if (result)
        result->rows.finish();
    if (rc != SQLITE_DONE)
        throw lastError(statement);
    if (firstRowOnly)
        return 0;
    if (sqlite3_stmt_readonly(stmt) == 0) {
        const QString head = statement.trimmed().left(6).toLower();
        if (head.startsWith(u"create") || head.startsWith(u"drop") || head.startsWith(u"alter"))
            m_columns.clear();
    }
    return sqlite3_changes(m_db);
}
