#include "store/PostgresDatabase.h"

#include "store/Gbk.h"
#include "store/PostgresCalculationGuard.h"
#include "store/PostgresCopyStatement.h"
#include "store/PostgresPreparedStatement.h"
#include "store/PostgresResult.h"
#include "store/PostgresSchema.h"
#include "store/PostgresWorkloadStage.h"
#include "store/Sql.h"
#include "store/StoreSchema.h"

#include <libpq-fe.h>

#include <QRegularExpression>
#include <QSet>

#include <memory>
#include <vector>

namespace {

// Options that the program sets unless the connection string sets them: a server that does not
// answer is given up, and a connection that breaks in the middle of a command is noticed.
const std::pair<const char*, const char*> Defaults[] = {
    {"connect_timeout", "10"}, {"keepalives_idle", "5"},      {"keepalives_interval", "2"},
    {"keepalives_count", "2"}, {"tcp_user_timeout", "10000"}, {"application_name", "workload"},
};

QString errorText(const pg_conn* conn)
{
    return QString::fromUtf8(PQerrorMessage(conn)).trimmed();
}

// The store's write lock: one key per schema, held until the transaction ends.
QString writeLock(const QString& schema)
{
    return QStringLiteral("SELECT pg_advisory_xact_lock(hashtext(%1))")
        .arg(Sql::quote(QStringLiteral("workload:") + schema));
}

// The character of the server's "character with byte sequence 0xf0 0x9f 0x98 0x80 in encoding
// "UTF8" has no equivalent in encoding "GBK"".
QString unconvertedCharacter(const QString& message)
{
    QByteArray bytes;
    static const QRegularExpression byte(QStringLiteral("0x([0-9a-fA-F]{2})"));
    for (auto it = byte.globalMatch(message.section(QStringLiteral(" in encoding"), 0, 0)); it.hasNext();)
        bytes.append(char(it.next().captured(1).toInt(nullptr, 16)));
    return QString::fromUtf8(bytes);
}

struct ResultDeleter
{
    void operator()(pg_result* r) const { PQclear(r); }
};
using ResultPtr = std::unique_ptr<pg_result, ResultDeleter>;

} // namespace

PostgresDatabase::PostgresDatabase(pg_conn* conn, QString display) : m_conn(conn), m_display(std::move(display)) {}

PostgresDatabase::~PostgresDatabase()
{
    PQfinish(m_conn);
}

PostgresDatabase& PostgresDatabase::of(Database& db)
{
    return static_cast<PostgresDatabase&>(db);
}

QString PostgresDatabase::displayName(const QString& conninfo)
{
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.toUtf8().constData(), &error);
    if (!options) {
        PQfreemem(error);
        return QStringLiteral("(连接串无效)");
    }
    QString user, host, port, dbname;
    for (PQconninfoOption* o = options; o->keyword; ++o) {
        if (!o->val)
            continue;
        const QString value = QString::fromUtf8(o->val);
        if (qstrcmp(o->keyword, "user") == 0)
            user = value;
        else if (qstrcmp(o->keyword, "host") == 0 || (qstrcmp(o->keyword, "hostaddr") == 0 && host.isEmpty()))
            host = value;
        else if (qstrcmp(o->keyword, "port") == 0)
            port = value;
        else if (qstrcmp(o->keyword, "dbname") == 0)
            dbname = value;
    }
    PQconninfoFree(options);
    QString shown = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        shown += user + u'@';
    shown += host.isEmpty() ? QStringLiteral("localhost") : host;
    if (!port.isEmpty())
        shown += u':' + port;
    return shown + u'/' + dbname;
}

QString PostgresDatabase::withoutPassword(const QString& conninfo)
{
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.toUtf8().constData(), &error);
    if (!options) {
        PQfreemem(error);
        return {};
    }
    QStringList kept;
    for (PQconninfoOption* o = options; o->keyword; ++o) {
        if (!o->val || qstrcmp(o->keyword, "password") == 0)
            continue;
        QString value = QString::fromUtf8(o->val);
        value.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
        kept << QStringLiteral("%1='%2'").arg(QString::fromUtf8(o->keyword), value);
    }
    PQconninfoFree(options);
    return kept.join(u' ');
}

std::unique_ptr<PostgresDatabase> PostgresDatabase::connect(const QString& conninfo)
{
    const QString display = displayName(conninfo);
    const QByteArray given = conninfo.toUtf8();
    char* error = nullptr;
    PQconninfoOption* parsed = PQconninfoParse(given.constData(), &error);
    if (!parsed) {
        const QString text = error ? QString::fromUtf8(error).trimmed() : QString();
        PQfreemem(error);
        throw StoreError(QStringLiteral("数据库服务器的连接串无效: %1").arg(text), {}, StoreError::Kind::Usage);
    }
    // The given string (expanded as a URI or key=value list) comes first; the defaults only fill in.
    std::vector<const char*> keys{"dbname"};
    std::vector<const char*> values{given.constData()};
    QSet<QByteArray> set;
    for (PQconninfoOption* o = parsed; o->keyword; ++o)
        if (o->val)
            set.insert(o->keyword);
    PQconninfoFree(parsed);
    const bool timeoutFromEnvironment = !qEnvironmentVariableIsEmpty("PGCONNECT_TIMEOUT");
    for (const auto& [key, value] : Defaults) {
        const bool fromEnvironment = timeoutFromEnvironment && qstrcmp(key, "connect_timeout") == 0;
        if (!set.contains(key) && !fromEnvironment) {
            keys.push_back(key);
            values.push_back(value);
        }
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    pg_conn* conn = PQconnectdbParams(keys.data(), values.data(), 1);
    if (!conn)
        throw StoreError(QStringLiteral("不能连接数据库服务器 %1: 内存不足").arg(display), {}, StoreError::Kind::Io);
    if (PQstatus(conn) != CONNECTION_OK) {
        const QString text = errorText(conn);
        PQfinish(conn);
        throw StoreError(QStringLiteral("不能连接数据库服务器 %1: %2").arg(display, text), {}, StoreError::Kind::Io);
    }
    std::unique_ptr<PostgresDatabase> db(new PostgresDatabase(conn, display));
    // The server's notices ("drop cascades to …") are not the operator's business.
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    PQsetClientEncoding(conn, "UTF8");
    db->findSchema();
    return db;
}

void PostgresDatabase::findSchema()
{
    const Result r = selectInternal(
        QStringLiteral("SELECT current_database(), coalesce(current_schema(), ''), current_setting('search_path')"));
    m_database = r.rows.front().value(0).toString();
    m_schema = r.rows.front().value(1).toString();
    const QString first = r.rows.front().value(2).toString().section(u',', 0, 0).trimmed().remove(u'"');
    if (m_schema.isEmpty())
        m_schema = first.isEmpty() || first == u"$user" ? QStringLiteral("public") : first;
    m_display += QStringLiteral(" (%1)").arg(m_schema == u"public" ? m_database : m_database + u'.' + m_schema);
}

void PostgresDatabase::prepareSession()
{
    // The store's own functions and operators come before the server's: its catalogue is last.
    executeInternal(QStringLiteral("SET search_path = \"%1\", pg_catalog").arg(m_schema));
    executeInternal(QStringLiteral("SET lock_timeout = %1").arg(BusyWaitMs));
    // The calculation's stage (a temporary table, see PostgresWorkloadStage) is kept in this
    // connection's own memory, which can only be sized before its first temporary table; the
    // server takes what it needs of it, not all at once.
    executeInternal(QStringLiteral("SET temp_buffers = '64MB'"));
    for (const QString& s : StoreSchema::createServerWorkStatements())
        executeInternal(s);
}

std::unique_ptr<PostgresDatabase> PostgresDatabase::open(const QString& conninfo)
{
    auto db = connect(conninfo);
    db->verifyLayout();
    db->prepareSession();
    return db;
}

void PostgresDatabase::verifyLayout()
{
    const QString notOurs = QStringLiteral("不是本系统的数据库: %1").arg(m_display);
    const Result found = selectInternal(QStringLiteral("SELECT to_regclass(quote_ident($1) || '.%1') IS NOT NULL")
                                            .arg(QLatin1String(PostgresSchema::LayoutTable)),
                                        {m_schema});
    if (found.rows.front().value(0).toString() != u"t" && found.rows.front().value(0).toInt() != 1)
        throw StoreError(notOurs, {}, StoreError::Kind::DamagedFile);
    const Result r = selectInternal(
        QStringLiteral("SELECT max(version) FROM \"%1\".%2").arg(m_schema, QLatin1String(PostgresSchema::LayoutTable)));
    const int version = r.rows.empty() ? 0 : r.rows.front().value(0).toInt();
    if (version > StoreSchema::Version)
        throw StoreError(
            QStringLiteral("数据库版本 %1 比本程序新 (本程序: %2)").arg(version).arg(StoreSchema::Version));
    if (version < 1)
        throw StoreError(notOurs, {}, StoreError::Kind::DamagedFile);
    if (version < StoreSchema::Version)
        throw StoreError(QStringLiteral("服务器上的数据库版本 %1 比本程序旧 (本程序: %2), 请先备份再升级")
                             .arg(version)
                             .arg(StoreSchema::Version));
}

std::unique_ptr<PostgresDatabase> PostgresDatabase::create(const QString& conninfo, bool replace)
{
    auto db = connect(conninfo);
    db->createStore(replace);
    db->prepareSession();
    return db;
}

void PostgresDatabase::createStore(bool replace)
{
    executeInternal(QStringLiteral("BEGIN"));
    try {
        executeInternal(writeLock(m_schema));
        executeInternal(QStringLiteral("CREATE SCHEMA IF NOT EXISTS \"%1\"").arg(m_schema));
        const Result objects = selectInternal(
            QStringLiteral("SELECT c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                           "WHERE n.nspname = $1 AND c.relkind IN ('r','v','m','p','f') ORDER BY 1"),
            {m_schema});
        QStringList names;
        for (const QVariantList& row : objects.rows)
            names << row.value(0).toString();
        if (!names.isEmpty()) {
            if (!names.contains(QLatin1String(PostgresSchema::LayoutTable)))
                throw StoreError(QStringLiteral("数据库 %1 中已有别的表 (%2), 不能在这里建立工作量数据库")
                                     .arg(m_display, names.mid(0, 5).join(QStringLiteral(", "))),
                                 {}, StoreError::Kind::RefusedInput);
            const Result v = selectInternal(QStringLiteral("SELECT max(version) FROM \"%1\".%2")
                                                .arg(m_schema, QLatin1String(PostgresSchema::LayoutTable)));
            const int version = v.rows.front().value(0).toInt();
            if (version > StoreSchema::Version)
                throw StoreError(
                    QStringLiteral("数据库版本 %1 比本程序新 (本程序: %2)").arg(version).arg(StoreSchema::Version));
            if (!replace)
                throw StoreError(QStringLiteral("数据库 %1 中已有工作量数据库").arg(m_display), {},
                                 StoreError::Kind::RefusedInput);
            dropStore();
        }
        for (const QString& s : PostgresSchema::createStatements(QStringLiteral("\"%1\"").arg(m_schema)))
            executeInternal(s);
        ensureCalculationRole();
        executeInternal(QStringLiteral("COMMIT"));
    } catch (...) {
        PQclear(PQexec(m_conn, "ROLLBACK"));
        throw;
    }
    forgetNames();
}

void PostgresDatabase::ensureCalculationRole()
{
    const QString role = PostgresSchema::calculationRole(m_database);
    // Two stores of one database made at the same moment both find the role missing: the one that
    // comes second finds it made by the first when it tries again.
    QString refusal;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const Result there = selectInternal(
            QStringLiteral("SELECT pg_has_role(current_user, oid, 'MEMBER') FROM pg_roles WHERE rolname = $1"), {role});
        if (!there.rows.empty() && there.rows.front().value(0).toInt() == 1)
            return;
        executeInternal(QStringLiteral("SAVEPOINT calculation_role"));
        try {
            if (there.rows.empty())
                executeInternal(QStringLiteral("CREATE ROLE \"%1\" NOLOGIN").arg(role));
            executeInternal(QStringLiteral("GRANT \"%1\" TO CURRENT_USER").arg(role));
            executeInternal(QStringLiteral("RELEASE SAVEPOINT calculation_role"));
            return;
        } catch (const StoreError& e) {
            e.throwIfStoreState();
            executeInternal(QStringLiteral("ROLLBACK TO SAVEPOINT calculation_role"));
            executeInternal(QStringLiteral("RELEASE SAVEPOINT calculation_role"));
            refusal = e.text();
        }
    }
    const Result user = selectInternal(QStringLiteral("SELECT current_user"));
    throw StoreError(QStringLiteral("不能建立计算所用的角色 (%1)。请数据库管理员执行: CREATE ROLE \"%2\" NOLOGIN; "
                                    "GRANT \"%2\" TO \"%3\";")
                         .arg(refusal, role, user.rows.front().value(0).toString()),
                     {}, StoreError::Kind::RefusedInput);
}

void PostgresDatabase::dropStore()
{
    // Everything in the schema is the store's: its tables, its view, its functions, aggregates and
    // operators.
    const Result objects = selectInternal(
        QStringLiteral("SELECT 'DROP ' || CASE c.relkind WHEN 'v' THEN 'VIEW ' ELSE 'TABLE ' END || "
                       "quote_ident(n.nspname) || '.' || quote_ident(c.relname) || ' CASCADE' "
                       "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                       "WHERE n.nspname = $1 AND c.relkind IN ('r','v') "
                       "UNION ALL SELECT 'DROP OPERATOR ' || o.oid::regoperator || ' CASCADE' FROM pg_operator o "
                       "JOIN pg_namespace n ON n.oid = o.oprnamespace WHERE n.nspname = $1 "
                       "UNION ALL SELECT 'DROP ROUTINE ' || p.oid::regprocedure || ' CASCADE' FROM pg_proc p "
                       "JOIN pg_namespace n ON n.oid = p.pronamespace WHERE n.nspname = $1"),
        {m_schema});
    // Views before tables, operators before their functions; a CASCADE may have dropped a later one.
    for (const QVariantList& row : objects.rows) {
        const QString drop = row.value(0).toString();
        executeInternal(drop.section(u' ', 0, 1) + QStringLiteral(" IF EXISTS ") + drop.section(u' ', 2));
    }
}

void PostgresDatabase::setOperator(const QString& name)
{
    const QList<QByteArray> values{name.toUtf8()};
    ResultPtr(exec("SELECT set_config('workload.operator', $1, false)", values, {}));
    // The operator's own settings record starts as a copy of the shared one.
    executeInternal(
        QStringLiteral("INSERT INTO system_all (czy,Nd,yx,jys,jysmc) SELECT %1,Nd,yx,jys,jysmc "
                       "FROM system_all WHERE czy='' AND NOT EXISTS (SELECT 1 FROM system_all WHERE czy=%1) "
                       "ORDER BY rowid LIMIT 1")
            .arg(Sql::quote(name)));
}

int PostgresDatabase::executeInternal(const QString& statement)
{
    ResultPtr r(exec(statement.toUtf8(), {}, statement));
    return QByteArray(PQcmdTuples(r.get())).toInt();
}

Database::Result PostgresDatabase::selectInternal(const QString& statement, const QStringList& values)
{
    QList<QByteArray> bytes;
    for (const QString& v : values)
        bytes << v.toUtf8();
    ResultPtr r(exec(statement.toUtf8(), bytes, statement));
    Result out;
    PostgresResult::read(r.get(), out, false);
    return out;
}

pg_result* PostgresDatabase::exec(const QByteArray& sql, const QList<QByteArray>& values, const QString& statement,
                                  const QByteArray& prepared)
{
    std::vector<const char*> params;
    params.reserve(std::size_t(values.size()));
    for (const QByteArray& v : values)
        params.push_back(v.isNull() ? nullptr : v.constData());
    if (inTransaction() && isQuery(sql))
        return execKeepingTransaction(sql, params, statement, prepared);
    pg_result* r =
        prepared.isEmpty()
            ? PQexecParams(m_conn, sql.constData(), int(params.size()), nullptr, params.data(), nullptr, nullptr, 0)
            : PQexecPrepared(m_conn, prepared.constData(), int(params.size()), params.data(), nullptr, nullptr, 0);
    const ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const StoreError e = failure(r, statement);
        PQclear(r);
        throw e;
    }
    return r;
}

// The server sends every row of a query at once: a question whether there is one asks for one.
// A query that the server refuses is run again as it stands, so that the refusal speaks of the
// statement that was given.
pg_result* PostgresDatabase::probe(const QByteArray& sql, const QList<QByteArray>& values, const QString& statement)
{
    if (!isQuery(sql))
        return exec(sql, values, statement);
    QByteArray query = sql;
    while (query.endsWith(';') || (!query.isEmpty() && QChar::isSpace(uchar(query.back()))))
        query.chop(1);
    try {
        return exec("SELECT 1 FROM (" + query + "\n) AS wl_probe LIMIT 1", values, statement);
    } catch (const StoreError& e) {
        if (e.kind() != StoreError::Kind::RefusedInput)
            throw;
        return exec(sql, values, statement);
    }
}

bool PostgresDatabase::isQuery(const QByteArray& sql)
{
    const QByteArray head = sql.trimmed().left(6).toLower();
    return head == "select";
}

// On the desktop store a refused statement leaves the transaction as it was, and the program
// relies on that where it asks the store whether a check can run at all (a condition that the
// store cannot evaluate counts as no match). The server ends the whole transaction at the first
// refusal: a query in a transaction runs inside a savepoint of its own, sent together with it
// in one round trip.
pg_result* PostgresDatabase::execKeepingTransaction(const QByteArray& sql, const std::vector<const char*>& params,
                                                    const QString& statement, const QByteArray& prepared)
{
    if (PQenterPipelineMode(m_conn) != 1)
        throw failure(nullptr, statement);
    PQsendQueryParams(m_conn, "SAVEPOINT wl_query", 0, nullptr, nullptr, nullptr, nullptr, 0);
    if (prepared.isEmpty())
        PQsendQueryParams(m_conn, sql.constData(), int(params.size()), nullptr, params.data(), nullptr, nullptr, 0);
    else
        PQsendQueryPrepared(m_conn, prepared.constData(), int(params.size()), params.data(), nullptr, nullptr, 0);
    PQsendQueryParams(m_conn, "RELEASE SAVEPOINT wl_query", 0, nullptr, nullptr, nullptr, nullptr, 0);
    PQpipelineSync(m_conn);
    pg_result* answer = nullptr;
    pg_result* refusal = nullptr; // the first result that failed: it says why
    for (int query = 0; query < 3; ++query) {
        while (pg_result* r = PQgetResult(m_conn)) {
            const ExecStatusType status = PQresultStatus(r);
            const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
            if (!ok && status != PGRES_PIPELINE_ABORTED && !refusal) {
                refusal = r;
                continue;
            }
            if (query == 1 && ok && !answer) {
                answer = r;
                continue;
            }
            PQclear(r);
        }
    }
    while (pg_result* r = PQgetResult(m_conn)) {
        const bool synced = PQresultStatus(r) == PGRES_PIPELINE_SYNC;
        PQclear(r);
        if (synced)
            break;
    }
    PQexitPipelineMode(m_conn);
    if (!answer || refusal) {
        const StoreError e = failure(refusal, statement);
        PQclear(answer);
        PQclear(refusal);
        PQclear(PQexec(m_conn, "ROLLBACK TO SAVEPOINT wl_query; RELEASE SAVEPOINT wl_query"));
        throw e;
    }
    return answer;
}

StoreError PostgresDatabase::failure(pg_result* result, const QString& statement) const
{
    if (PQstatus(m_conn) != CONNECTION_OK)
        return StoreError(QStringLiteral("与数据库服务器 %1 的连接中断: %2").arg(m_display, errorText(m_conn)),
                          statement, StoreError::Kind::Io);
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const QByteArray code = state ? QByteArray(state) : QByteArray();
    QString text = result ? QString::fromUtf8(PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY)) : QString();
    if (text.isEmpty())
        text = errorText(m_conn);
    StoreError::Kind kind = StoreError::Kind::RefusedInput;
    if (code == "40001" || code == "40P01" || code == "55P03")
        kind = StoreError::Kind::Busy;
    else if (code == "53100")
        kind = StoreError::Kind::DiskFull;
    else if (code.startsWith("08") || code.startsWith("57P") || code.startsWith("53") || code.startsWith("58"))
        kind = StoreError::Kind::Io;
    else if (code == "57014")
        text = QStringLiteral("语句运行过久, 已被中止 (%1)").arg(text);
    else if (code == "22P05")
        text = Gbk::unrepresentableMessage(unconvertedCharacter(text));
    if (kind == StoreError::Kind::Busy)
        text = QStringLiteral("数据库正被别的操作员使用, 请稍后再试 (%1)").arg(text);
    StoreError e(text, statement, kind);
    // Only a floating-point result beyond every double is an infinity; an integer out of range
    // (the same state) is an ordinary refusal. The server's function name does not depend on the
    // language it speaks.
    const char* source = result ? PQresultErrorField(result, PG_DIAG_SOURCE_FUNCTION) : nullptr;
    if (code == "22003" && source && QByteArray(source).startsWith("float_overflow"))
        e.markOverflow();
    if (code == "40001" || code == "40P01")
        e.markConflict();
    return e;
}

const PostgresDialect::Names& PostgresDatabase::names()
{
    if (!m_namesKnown) {
        m_names.columnsOf = [this](const QString& table) { return columnsOf(table); };
        // Every column of the store's tables and of the connection's own, and the tables that
        // number their rows: one look at the catalogue.
        const Result all = selectInternal(
            QStringLiteral("SELECT lower(a.attname), lower(c.relname), c.relkind = 'r' FROM pg_attribute a "
                           "JOIN pg_class c ON c.oid = a.attrelid JOIN pg_namespace n ON n.oid = c.relnamespace "
                           "WHERE (n.nspname = $1 OR n.oid = pg_my_temp_schema()) AND a.attnum > 0 AND NOT "
                           "a.attisdropped"),
            {m_schema});
        m_names.columns.clear();
        m_names.numbered.clear();
        for (const QVariantList& row : all.rows) {
            const QString column = row.value(0).toString();
            m_names.columns.insert(column);
            if (column == u"rowid" && row.value(2).toBool())
                m_names.numbered.insert(row.value(1).toString());
        }
        m_names.gbkOrdered.clear();
        for (const QString& c : StoreSchema::gbkOrderedColumns())
            m_names.gbkOrdered.insert(c);
        m_namesKnown = true;
    }
    return m_names;
}

void PostgresDatabase::forgetNames()
{
    m_namesKnown = false;
    m_columns.clear();
}

QStringList PostgresDatabase::columnsOf(const QString& table)
{
    const QString key = table.toLower();
    const auto it = m_columns.constFind(key);
    if (it != m_columns.cend())
        return it.value();
    const Result r = selectInternal(
        QStringLiteral("SELECT lower(attname) FROM pg_attribute WHERE attrelid = to_regclass($1) AND attnum > 0 "
                       "AND NOT attisdropped AND attname <> 'rowid' ORDER BY attnum"),
        {key});
    QStringList columns;
    for (const QVariantList& row : r.rows)
        columns << row.value(0).toString();
    m_columns.insert(key, columns);
    return columns;
}

int PostgresDatabase::run(const QString& statement, Result* result, const QVariantList* values, bool firstRowOnly)
{
    const QString sql = PostgresDialect::translate(statement, names(), values != nullptr);
    if (m_tracer)
        m_tracer(PostgresDialect::sharedPass(statement, names()));
    QList<QByteArray> bytes;
    if (values) {
        for (const QVariant& v : *values)
            bytes << PostgresResult::parameterText(v);
    }
    ResultPtr r(firstRowOnly ? probe(sql.toUtf8(), bytes, statement) : exec(sql.toUtf8(), bytes, statement));
    afterStatement(statement);
    if (PQresultStatus(r.get()) == PGRES_TUPLES_OK) {
        if (firstRowOnly)
            return PQntuples(r.get()) > 0 ? 1 : 0;
        if (result)
            PostgresResult::read(r.get(), *result, true);
        return 0;
    }
    const QString head = statement.trimmed().left(6).toLower();
    if (head.startsWith(u"create") || head.startsWith(u"drop") || head.startsWith(u"alter"))
        forgetNames();
    return QByteArray(PQcmdTuples(r.get())).toInt();
}

void PostgresDatabase::requireRole(const QString& role)
{
    m_requiredRole = role;
    if (role.isEmpty())
        return;
    ResultPtr r(exec("SELECT current_setting('statement_timeout') || '|' || current_setting('search_path')", {}, {}));
    m_requiredSettings = QByteArray(PQgetvalue(r.get(), 0, 0));
}

void PostgresDatabase::afterStatement(const QString& statement)
{
    if (!m_requiredRole.isEmpty())
        checkRole(statement);
}

void PostgresDatabase::checkRole(const QString& statement)
{
    ResultPtr r(exec("SELECT current_user, current_setting('statement_timeout') || '|' || "
                     "current_setting('search_path')",
                     {}, statement));
    if (QString::fromUtf8(PQgetvalue(r.get(), 0, 0)) != m_requiredRole ||
        QByteArray(PQgetvalue(r.get(), 0, 1)) != m_requiredSettings)
        throw StoreError(QStringLiteral("参数行的语句改变了计算的角色或设置, 计算已撤销"), statement);
}

Database::Result PostgresDatabase::select(const QString& statement)
{
    Result r;
    run(statement, &r, nullptr, false);
    return r;
}

bool PostgresDatabase::hasRows(const QString& statement)
{
    return run(statement, nullptr, nullptr, true) > 0;
}

int PostgresDatabase::execute(const QString& statement)
{
    return run(statement, nullptr, nullptr, false);
}

int PostgresDatabase::executeBound(const QString& statement, const QVariantList& values)
{
    return run(statement, nullptr, &values, false);
}

std::unique_ptr<PreparedStatement> PostgresDatabase::prepare(const QString& statement)
{
    const QString sql = PostgresDialect::translate(statement, names(), true);
    return std::make_unique<PostgresPreparedStatement>(*this, statement, sql, QStringLiteral("wl%1").arg(++m_prepared));
}

std::unique_ptr<PreparedStatement> PostgresDatabase::prepareAppend(const QString& table, const QStringList& columns)
{
    return std::make_unique<PostgresCopyStatement>(*this, appendStatement(table, columns), translated(table), columns);
}

void PostgresDatabase::begin()
{
    executeInternal(QStringLiteral("BEGIN"));
    try {
        // The write lock at once: a command's checks then see what it writes over.
        executeInternal(writeLock(m_schema));
    } catch (...) {
        PQclear(PQexec(m_conn, "ROLLBACK"));
        throw;
    }
}

void PostgresDatabase::commit()
{
    executeInternal(QStringLiteral("COMMIT"));
}

void PostgresDatabase::rollback()
{
    executeInternal(QStringLiteral("ROLLBACK"));
    forgetNames();
}

void PostgresDatabase::savepoint(const QString& name)
{
    executeInternal(QStringLiteral("SAVEPOINT ") + name);
}

void PostgresDatabase::release(const QString& name)
{
    executeInternal(QStringLiteral("RELEASE SAVEPOINT ") + name);
}

void PostgresDatabase::rollbackTo(const QString& name)
{
    executeInternal(QStringLiteral("ROLLBACK TO SAVEPOINT ") + name);
}

bool PostgresDatabase::inTransaction() const
{
    return PQtransactionStatus(m_conn) != PQTRANS_IDLE;
}

std::unique_ptr<Database::Scope> PostgresDatabase::guardCalculation(const CalculationGrant& grant)
{
    return std::make_unique<PostgresCalculationGuard>(*this, grant);
}

std::unique_ptr<WorkloadStage> PostgresDatabase::stageWorkload(const QString& filter)
{
    // A trigger on the workload rows would fire when the stage is written back rather than after
    // each statement, and may then do something else: such a store is calculated on its table.
    const Result triggers =
        selectInternal(QStringLiteral("SELECT 1 FROM pg_trigger WHERE tgrelid = to_regclass(quote_ident($1) || '.gzl') "
                                      "AND NOT tgisinternal LIMIT 1"),
                       {m_schema});
    if (!triggers.rows.empty())
        return nullptr;
    return std::make_unique<PostgresWorkloadStage>(*this, filter);
}

void PostgresDatabase::refreshPlannerStatistics(const QString& table)
{
    // The server's own autovacuum keeps the statistics of a busy table; a table it has not looked
    // at yet, or one that changed much since, is analysed here (of the whole store, that costs a
    // noticeable part of a calculation).
    const Result current = selectInternal(
        QStringLiteral("SELECT 1 FROM pg_stat_user_tables WHERE relid = to_regclass(quote_ident($1) || '.' || "
                       "quote_ident($2)) AND coalesce(last_analyze, last_autoanalyze) IS NOT NULL AND "
                       "n_mod_since_analyze <= n_live_tup / 5"),
        {m_schema, table.toLower()});
    if (!current.rows.empty())
        return;
    // Outside a transaction (after many rows came in at once) the rows are also marked as seen by
    // everyone now, which the first commands to read them would otherwise do, page by page.
    executeInternal(QStringLiteral("%1 %2.%3")
                        .arg(inTransaction() ? QStringLiteral("ANALYZE") : QStringLiteral("VACUUM (ANALYZE)"),
                             quotedSchema(), table));
}

QString PostgresDatabase::quotedSchema() const
{
    QString name = m_schema;
    return u'"' + name.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString PostgresDatabase::translated(const QString& statement)
{
    return PostgresDialect::translate(statement, names(), false);
}

bool PostgresDatabase::setReuse(bool on)
{
    // The server plans each statement itself; there is nothing to keep.
    const bool wasOff = !m_reuse;
    m_reuse = on;
    return wasOff;
}
