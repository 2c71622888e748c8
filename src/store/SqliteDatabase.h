#pragma once

#include "store/Database.h"

#include <QHash>

#include <string>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

// The store of a data directory: one SQLite connection to its file. Every statement of the
// program runs through select() or execute(); the store's own refusal comes back as a StoreError.
class SqliteDatabase : public Database
{
public:
    // Answers SQLite's authorizer callback: return SQLITE_OK, SQLITE_DENY or SQLITE_IGNORE.
    using Authorizer = std::function<int(int action, const char* a, const char* b, const char* db)>;

    // Opens the existing store of a data directory, bringing an older layout up to date.
    static std::unique_ptr<SqliteDatabase> open(const QString& dataDir);
    // Creates a new store with every table empty; refuses when the file exists.
    static std::unique_ptr<SqliteDatabase> create(const QString& dataDir);
    // The SQLite store behind a Database (the only engine of a desktop store).
    static SqliteDatabase& of(Database& db);

    ~SqliteDatabase() override;
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    const QString& dataDir() const override { return m_dataDir; }
    QString location() const override { return storePath(m_dataDir); }

    Result select(const QString& statement) override;
    bool hasRows(const QString& statement) override;
    int execute(const QString& statement) override;
    int executeBound(const QString& statement, const QVariantList& values) override;
    std::unique_ptr<PreparedStatement> prepare(const QString& statement) override;
    void setTracer(Tracer tracer) override { m_tracer = std::move(tracer); }

    void begin() override;
    void commit() override;
    void rollback() override;
    void savepoint(const QString& name) override;
    void release(const QString& name) override;
    void rollbackTo(const QString& name) override;
    bool inTransaction() const override;

    QStringList columnsOf(const QString& table) override;
    QString rowIdentity() const override { return QStringLiteral("rowid"); }

    std::unique_ptr<Scope> guardCalculation(const CalculationGrant& grant) override;
    std::unique_ptr<WorkloadStage> stageWorkload(const QString& filter) override;
    void refreshPlannerStatistics(const QString& table) override;

    void setAuthorizer(Authorizer authorizer);
    // While not 0, a statement that has run about this many steps (SQLite virtual-machine
    // instructions) without finishing is stopped with a StoreError saying that it ran too long.
    void setStepLimit(quint64 steps);
    // Runs transaction control and other internal statements without tracing; returns the rows
    // the last of them changed.
    int executeInternal(const QString& statement);
    // Compiled statements alive on the connection (what statement reuse keeps around).
    int liveStatements() const;

protected:
    bool setReuse(bool on) override;

private:
    friend class SqlitePreparedStatement;

    SqliteDatabase(sqlite3* db, QString dataDir);
    static std::unique_ptr<SqliteDatabase> connect(const QString& dataDir, bool create);
    static StoreError::Kind errorKind(int code);
    StoreError lastError(const QString& statement) const;
    void verifyLayout();
    void configure();
    void migrate();
    // What an upgrade does beyond its statements.
    void upgradeData(int from);

    // One statement: the dialect pass, the trace, the compiled statement (reused or new), the
    // bound values, then the rows.
    int run(const QString& statement, Result* result, const QVariantList* values = nullptr, bool firstRowOnly = false);
    QString dialectOf(const QString& given);
    struct Compiled;
    Compiled compile(const QString& statement, const QByteArray& sql, bool bound);
    void bindValues(sqlite3_stmt* stmt, const QVariantList& values, const QString& statement);
    int stepRows(sqlite3_stmt* stmt, Result* result, bool firstRowOnly, const QString& statement);
    sqlite3_stmt* reusedStatement(const QByteArray& sql);
    void dropReusedStatements();
    static int countSteps(void* self);
    QString failureText(int rc) const;

    sqlite3* m_db = nullptr;
    QString m_dataDir;
    Tracer m_tracer;
    Authorizer m_authorizer;
    QHash<QString, QStringList> m_columns;
    bool m_reuse = false;
    std::unordered_map<std::string, sqlite3_stmt*> m_reused;
    quint64 m_stepLimit = 0;
    quint64 m_steps = 0; // of the statement running now
};
