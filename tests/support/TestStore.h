#pragma once

#include "store/DataModule.h"
#include "store/Database.h"

#include <QTemporaryDir>

#include <memory>

// A fresh store with the default rows in a temporary data directory, and a data module on it.
class TestStore
{
public:
    // On the desktop store of a temporary data directory; on a schema of its own on the server
    // that WORKLOAD_TEST_SERVER (or the file WORKLOAD_TEST_SERVER_FILE) names, when it names one (the suites that run
    // on both engines).
    explicit TestStore(bool demo = false);
    ~TestStore();
    TestStore(const TestStore&) = delete;
    TestStore& operator=(const TestStore&) = delete;

    // The server the tests run against; empty for the desktop store.
    static QString server();
    StoreLocation location() const;
    // What names this store on workloadctl's command line: --dir DIR or --server CONNINFO.
    QStringList ctlArguments() const;

    QString dir() const { return m_dir.path(); }
    DataModule& data() { return *m_data; }
    Database& db() { return *m_data->database(); }

    // First column of the first row of a select, as text ("" for null or no row).
    QString scalar(const QString& statement);
    int count(const QString& table, const QString& where = {});

    // The store of another data directory, opened for counting.
    class Reopened
    {
    public:
        explicit Reopened(const QString& dir) : m_db(Database::open(dir)) {}
        explicit Reopened(const StoreLocation& location) : m_db(Database::open(location)) {}
        int count(const QString& table, const QString& where = {});

    private:
        std::unique_ptr<Database> m_db;
    };

private:
    QTemporaryDir m_dir;
    QString m_schema;
    StoreLocation m_location;
    std::unique_ptr<DataModule> m_data;
};
