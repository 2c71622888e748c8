#pragma once

#include "store/Database.h"
#include "store/PostgresDialect.h"
#include "store/WorkloadStage.h"

#include <QHash>

#include <vector>

struct pg_conn;
struct pg_result;

// A store kept on a PostgreSQL server: one connection (libpq) to the schema that the connection's
// search path names first ("public" unless told otherwise). Statements are given the meaning they
// have on the desktop store by the dialect pass (PostgresDialect) and by the store's own functions
// and operators (PostgresSchema). A command's transaction takes the store's write lock first (an
// advisory lock of the schema), so that its checks and its writes see one store, as on the
// desktop. The store's refusal comes back as a StoreError; the connection string's password is
// never part of a message.
class PostgresDatabase : public Database
{
public:
    // How long the program waits for a server that does not answer, in seconds.
    static constexpr int ConnectTimeoutSeconds = 10;

    // Opens the store of a server; refuses a database (schema) that holds no store of this
    // program or one of a newer layout.
    static std::unique_ptr<PostgresDatabase> open(const QString& conninfo);
    // Creates the tables of a store in an empty schema; with `replace`, a store of this program
    // that is there is dropped first. Refuses anything else that is there, before writing.
    static std::unique_ptr<PostgresDatabase> create(const QString& conninfo, bool replace);
    // The connection string as it may be shown: without its password.
    static QString displayName(const QString& conninfo);
    // The connection string with every option but the password, as "key='value' ...".
    static QString withoutPassword(const QString& conninfo);
    static PostgresDatabase& of(Database& db);

    ~PostgresDatabase() override;
    PostgresDatabase(const PostgresDatabase&) = delete;
    PostgresDatabase& operator=(const PostgresDatabase&) = delete;

    const QString& dataDir() const override { return m_noDirectory; }
    QString location() const override { return m_display; }
    bool isServer() const override { return true; }
    void setOperator(const QString& name) override;

    Result select(const QString& statement) override;
    bool hasRows(const QString& statement) override;
    int execute(const QString& statement) override;
    int executeBound(const QString& statement, const QVariantList& values) override;
    std::unique_ptr<PreparedStatement> prepare(const QString& statement) override;
    std::unique_ptr<PreparedStatement> prepareAppend(const QString& table, const QStringList& columns) override;
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

    const QString& schema() const { return m_schema; }
    const QString& databaseName() const { return m_database; }
    // The schema's name as a statement names it (quoted).
    QString quotedSchema() const;
    // A statement or condition of the program as the server reads it (the dialect pass alone).
    QString translated(const QString& statement);
    // Runs statements of the program's own (no dialect pass, no trace); returns the rows the
    // last one changed.
    int executeInternal(const QString& statement);
    Result selectInternal(const QString& statement, const QStringList& values = {});
    // While not empty, every statement must leave the connection as this role with these settings;
    // one that changes them is refused (and its transaction with it).
    void requireRole(const QString& role);

protected:
    bool setReuse(bool on) override;

private:
    friend class PostgresPreparedStatement;
    friend class PostgresCopyStatement;
    pg_conn* connection() const { return m_conn; }

    PostgresDatabase(pg_conn* conn, QString display);
    static std::unique_ptr<PostgresDatabase> connect(const QString& conninfo);
    void findSchema();
    void prepareSession();
    void verifyLayout();
    void createStore(bool replace);
    void dropStore();
    void ensureCalculationRole();

    // One statement: the dialect pass, the trace, the values, the rows.
    int run(const QString& statement, Result* result, const QVariantList* values, bool firstRowOnly);
    // Runs `sql` (or the prepared statement of that name) with its values; throws the refusal.
    pg_result* exec(const QByteArray& sql, const QList<QByteArray>& values, const QString& statement,
                    const QByteArray& prepared = {});
    pg_result* probe(const QByteArray& sql, const QList<QByteArray>& values, const QString& statement);
    static bool isQuery(const QByteArray& sql);
    pg_result* execKeepingTransaction(const QByteArray& sql, const std::vector<const char*>& params,
                                      const QString& statement, const QByteArray& prepared);
    StoreError failure(pg_result* result, const QString& statement) const;
    void checkRole(const QString& statement);
    void afterStatement(const QString& statement);
    const PostgresDialect::Names& names();
    void forgetNames();

    pg_conn* m_conn = nullptr;
    QString m_display;
    QString m_schema;
    QString m_database;
    QString m_noDirectory;
    Tracer m_tracer;
    QHash<QString, QStringList> m_columns;
    PostgresDialect::Names m_names;
    bool m_namesKnown = false;
    bool m_reuse = false;
    QString m_requiredRole;
    QByteArray m_requiredSettings;
    int m_prepared = 0;
};
