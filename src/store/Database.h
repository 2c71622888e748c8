#pragma once

#include "store/ResultRows.h"
#include "store/StoreError.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// One connection to the store of a data directory. Every statement of the program runs
// through select() or execute(); the store's own refusal comes back as a StoreError.
class Database
{
public:
    static constexpr const char* FileName = "workload.sqlite3";
    // How long a statement waits for another program's lock before the store reports it busy.
    static constexpr int BusyWaitMs = 5000;

    struct Column
    {
        QString name;
        QString declaredType; // as the table declares it, e.g. "VARCHAR(15)"; empty for expressions
    };

    struct Result
    {
        QList<Column> columns;
        ResultRows rows;
    };

    using Tracer = std::function<void(const QString& statement)>;
    // Answers SQLite's authorizer callback: return SQLITE_OK, SQLITE_DENY or SQLITE_IGNORE.
    using Authorizer = std::function<int(int action, const char* a, const char* b, const char* db)>;

    static QString storePath(const QString& dataDir);
    static bool exists(const QString& dataDir);

    // Opens the existing store of a data directory, bringing an older layout up to date.
    static std::unique_ptr<Database> open(const QString& dataDir);
    // Creates a new store with every table empty; refuses when the file exists.
    static std::unique_ptr<Database> create(const QString& dataDir);

    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& dataDir() const { return m_dataDir; }

    Result select(const QString& statement);
    // Runs a select only as far as its first row: whether it yields any row at all.
    bool hasRows(const QString& statement);
    // Runs an insert, update, delete or any other statement; returns the number of rows changed.
    int execute(const QString& statement);
    // The program's own statements with values bound to ? placeholders (never typed by a person).
    int executeBound(const QString& statement, const QVariantList& values);

    // Statements exactly as the store received them, after the dialect pass.
    void setTracer(Tracer tracer) { m_tracer = std::move(tracer); }
    void setAuthorizer(Authorizer authorizer);
    // While not 0, a statement that has run about this many steps (SQLite virtual-machine
    // instructions) without finishing is stopped with a StoreError saying that it ran too long.
    void setStepLimit(quint64 steps);

    bool inTransaction() const;
    // Runs transaction control and other internal statements without tracing; returns the rows
    // the last of them changed.
    int executeInternal(const QString& statement);

    QStringList columnsOf(const QString& table);
    // Compiled statements alive on the connection (what statement reuse keeps around).
    int liveStatements() const;

    // While a scope is alive, statements that differ only in the quoted values of their conditions,
    // value lists and assignments are compiled once and run with each statement's values bound
    // (see StatementShape): work that runs thousands of such statements spends its time running
    // them rather than compiling them. Tracing still shows each statement as given.
    class ReuseScope
    {
    public:
        explicit ReuseScope(Database& db);
        ~ReuseScope();
        ReuseScope(const ReuseScope&) = delete;
        ReuseScope& operator=(const ReuseScope&) = delete;

    private:
        Database& m_db;
        bool m_outer;
    };

private:
    friend class PreparedStatement;

    Database(sqlite3* db, QString dataDir);
    static std::unique_ptr<Database> connect(const QString& dataDir, bool create);
    static StoreError::Kind errorKind(int code);
    StoreError lastError(const QString& statement) const;
    void verifyLayout();
    void configure();
    void migrate();
    // What an upgrade does beyond its statements.
    void upgradeData(int from);
    int run(const QString& statement, Result* result, const QVariantList* values = nullptr, bool firstRowOnly = false);
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
