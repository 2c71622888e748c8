#pragma once

#include "store/DataModule.h"
#include "store/Database.h"

#include <QTemporaryDir>

#include <memory>

// A fresh store with the default rows in a temporary data directory, and a data module on it.
class TestStore
{
public:
    explicit TestStore(bool demo = false);

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
        int count(const QString& table, const QString& where = {});

    private:
        std::unique_ptr<Database> m_db;
    };

private:
    QTemporaryDir m_dir;
    std::unique_ptr<DataModule> m_data;
};
