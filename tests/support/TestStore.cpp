#include "support/TestStore.h"

#include "store/DemoData.h"
#include "store/Field.h"
#include "store/StoreSetup.h"
#include "store/Transaction.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>

#include <atomic>

namespace {

// A fresh store is made once per test program and copied for every TestStore: the default
// operators' passwords are slow hashes on purpose, and hundreds of stores would each pay for them.
const QString& freshStoreTemplate()
{
    static QTemporaryDir dir;
    static const bool made = [] {
        if (!dir.isValid())
            qFatal("no temporary directory");
        StoreSetup::createStore(dir.path(), false);
        return true;
    }();
    Q_UNUSED(made);
    static const QString path = Database::storePath(dir.path());
    return path;
}

QString schemaConnection(const QString& server, const QString& schema)
{
    return server + QStringLiteral(" options='-c search_path=%1'").arg(schema);
}

QString newSchemaName()
{
    static std::atomic<int> next{0};
    return QStringLiteral("t%1_%2").arg(QCoreApplication::applicationPid()).arg(++next);
}

// On a server, the default rows are made once per test program in a schema of their own and
// copied into each new store's schema.
const QString& serverTemplate(const QString& server)
{
    static const QString schema = [&] {
        const QString name = QStringLiteral("tpl%1").arg(QCoreApplication::applicationPid());
        auto db = Database::create(StoreLocation::onServer(schemaConnection(server, name)), true);
        Transaction tx(*db);
        StoreSetup::addDefaults(*db);
        tx.commit();
        return name;
    }();
    return schema;
}

} // namespace

QString TestStore::server()
{
    // Named directly, or in the file that the test server writes when it starts.
    static const QString named = [] {
        const QString given = qEnvironmentVariable("WORKLOAD_TEST_SERVER");
        const QString file = qEnvironmentVariable("WORKLOAD_TEST_SERVER_FILE");
        if (!given.isEmpty() || file.isEmpty())
            return given;
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            qFatal("the test server has not written its connection string to %s", qPrintable(file));
        return QString::fromUtf8(f.readAll()).trimmed();
    }();
    return named;
}

TestStore::TestStore(bool demo)
{
    if (!m_dir.isValid())
        qFatal("no temporary directory");
    m_data = std::make_unique<DataModule>();
    if (server().isEmpty()) {
        if (!QFile::copy(freshStoreTemplate(), Database::storePath(m_dir.path())))
            qFatal("cannot copy the fresh store");
        m_data->connectTo(m_dir.path());
    } else {
        const QString from = serverTemplate(server());
        m_schema = newSchemaName();
        m_location = StoreLocation::onServer(schemaConnection(server(), m_schema));
        m_data->attach(Database::create(m_location, false));
        Transaction tx(db());
        // Without the row numbers: each table numbers its own rows.
        for (const char* table : {"user1", "niandu", "system", "sysparameter"}) {
            const QString columns = db().columnsOf(QString::fromLatin1(table)).join(u',');
            db().execute(QStringLiteral("insert into %1 (%3) select %3 from %2.%1 order by rowid")
                             .arg(QLatin1String(table), from, columns));
        }
        tx.commit();
    }
    if (demo) {
        Transaction tx(db());
        DemoData::generate(db(), DemoData::demo());
        tx.commit();
    }
}

TestStore::~TestStore()
{
    if (!m_schema.isEmpty() && m_data->database()) {
        try {
            db().setTracer({}); // a test's tracer may be gone already
            if (db().inTransaction())
                db().rollback();
            db().execute(QStringLiteral("drop schema %1 cascade").arg(m_schema));
        } catch (const StoreError& e) {
            qWarning("cannot drop the test store %s: %s", qPrintable(m_schema), qPrintable(e.text()));
        }
    }
}

StoreLocation TestStore::location() const
{
    return m_schema.isEmpty() ? StoreLocation::desktop(m_dir.path()) : m_location;
}

QStringList TestStore::ctlArguments() const
{
    const StoreLocation store = location();
    return store.isServer() ? QStringList{QStringLiteral("--server"), store.server}
                            : QStringList{QStringLiteral("--dir"), store.dataDir};
}

QString TestStore::scalar(const QString& statement)
{
    const Database::Result r = db().select(statement);
    if (r.rows.empty() || r.rows.front().isEmpty())
        return {};
    return Field(QString(), r.rows.front().front()).asString();
}

namespace {

QString countStatement(const QString& table, const QString& where)
{
    return QStringLiteral("select count(*) from %1%2")
        .arg(table, where.isEmpty() ? QString() : QStringLiteral(" where ") + where);
}

} // namespace

int TestStore::count(const QString& table, const QString& where)
{
    return scalar(countStatement(table, where)).toInt();
}

int TestStore::Reopened::count(const QString& table, const QString& where)
{
    const Database::Result r = m_db->select(countStatement(table, where));
    return r.rows.empty() ? 0 : r.rows.front().value(0).toInt();
}
