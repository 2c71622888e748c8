#pragma once

#include "store/ResultRows.h"
#include "store/StoreError.h"
#include "store/StoreLocation.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

class PreparedStatement;
class WorkloadStage;

// What the rest of the program needs of a store, whatever engine keeps it: statements run as the
// program gives them (after the engine's dialect pass), prepared statements with named
// parameters, transactions, the calculation's guard, the staging of a node's workload rows, and
// the row identity that orders and slices rows. The store of a data directory is the embedded
// SQLite engine (SqliteDatabase); docs/store-engines.md says what another engine implements.
// The store never talks to the user: a refusal comes back as a StoreError.
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

    // What a calculation may do while its parameter rows' statements run: read these tables,
    // write these columns of these tables, and run each statement at most this long (in the
    // engine's own measure: steps for SQLite); anything else is refused.
    struct CalculationGrant
    {
        QStringList readable;
        QList<std::pair<QString, QStringList>> writable; // table, its columns
        quint64 budget = 0;
    };

    // Something in force while it lives (a guard); ended on destruction, also by an exception.
    class Scope
    {
    public:
        virtual ~Scope() = default;
    };

    static QString storePath(const QString& dataDir);
    static bool exists(const QString& dataDir);
    // Opens the existing store of a data directory, bringing an older layout up to date.
    static std::unique_ptr<Database> open(const QString& dataDir);
    // Creates a new store with every table empty; refuses when the file exists.
    static std::unique_ptr<Database> create(const QString& dataDir);
    // Opens the store of a data directory or of a server.
    static std::unique_ptr<Database> open(const StoreLocation& location);
    // Creates a new store with every table empty. On a server, `replace` drops a store of this
    // program that is there first; anything else there is refused.
    static std::unique_ptr<Database> create(const StoreLocation& location, bool replace);

    virtual ~Database() = default;

    // The data directory of a desktop store; empty for a server store.
    virtual const QString& dataDir() const = 0;
    // What the store is, as it may be shown (a path, or a server and database without a password).
    virtual QString location() const = 0;
    // A server store that many operators share; the desktop store is one program's at a time.
    virtual bool isServer() const { return false; }
    // The operator now working: on a shared store each one keeps a settings record of their own.
    virtual void setOperator(const QString& name) { Q_UNUSED(name); }

    virtual Result select(const QString& statement) = 0;
    // Runs a select only as far as its first row: whether it yields any row at all.
    virtual bool hasRows(const QString& statement) = 0;
    // Runs an insert, update, delete or any other statement; returns the number of rows changed.
    virtual int execute(const QString& statement) = 0;
    // The program's own statements with values bound to named parameters (":name"), in the
    // order the parameters first appear; never a statement a person typed.
    virtual int executeBound(const QString& statement, const QVariantList& values) = 0;
    // One of the program's own statements compiled once and run many times with named
    // parameters (":name").
    virtual std::unique_ptr<PreparedStatement> prepare(const QString& statement) = 0;
    // Many rows added to one table, one per step() with every column bound (in this order), then
    // finish(): "insert into TABLE (COLUMNS) values (...)", in whatever way the engine adds many rows
    // fastest.
    virtual std::unique_ptr<PreparedStatement> prepareAppend(const QString& table, const QStringList& columns);
    // The insert that prepareAppend() stands for.
    static QString appendStatement(const QString& table, const QStringList& columns);

    // Statements as the store runs them, after the pass that qualifies shared columns (an engine's own
    // rewrites beyond it are not shown, so that a trace reads the same on every engine).
    virtual void setTracer(Tracer tracer) = 0;

    // Transactions. begin() takes the write lock at once (waiting up to BusyWaitMs), so that a
    // command checks and writes under one lock. A savepoint nests inside a running transaction.
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    virtual void savepoint(const QString& name) = 0;
    virtual void release(const QString& name) = 0;
    virtual void rollbackTo(const QString& name) = 0;
    virtual bool inTransaction() const = 0;

    // Lower-case column names of a table; empty when there is no such table.
    virtual QStringList columnsOf(const QString& table) = 0;

    // The expression that names a row of a table for as long as the row exists, and orders rows
    // in the order they were stored ("rowid" in SQLite).
    virtual QString rowIdentity() const = 0;

    // While the returned scope lives, only what the grant allows runs on this connection.
    virtual std::unique_ptr<Scope> guardCalculation(const CalculationGrant& grant) = 0;
    // The workload rows of `filter` staged for a calculation (see WorkloadStage); nullptr when the
    // engine runs the calculation on its table itself.
    virtual std::unique_ptr<WorkloadStage> stageWorkload(const QString& filter) = 0;
    // Brings the planner's picture of a table up to date when it has grown or shrunk much.
    virtual void refreshPlannerStatistics(const QString& table) = 0;

    // While a scope is alive, statements that differ only in the quoted values of their conditions,
    // value lists and assignments are compiled once and run with each statement's values bound
    // (see StatementShape): work that runs thousands of such statements spends its time running
    // them rather than compiling them. Tracing still shows each statement as given.
    class ReuseScope
    {
    public:
        explicit ReuseScope(Database& db) : m_db(db), m_outer(db.setReuse(true)) {}
        ~ReuseScope()
        {
            if (m_outer)
                m_db.setReuse(false);
        }
        ReuseScope(const ReuseScope&) = delete;
        ReuseScope& operator=(const ReuseScope&) = delete;

    private:
        Database& m_db;
        bool m_outer;
    };

protected:
    // Turns statement reuse on or off; returns whether it was off before.
    virtual bool setReuse(bool on) = 0;
};
