#pragma once

#include "store/DataSource.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/TableObject.h"

#include <QObject>

#include <memory>

// The data module: the only place that holds database objects. Every screen reaches the store
// through these named holders, the settings record and the data sources that bind grids to them.
// The program owns one and hands it to the screens; a command line owns its own.
class DataModule : public QObject
{
    Q_OBJECT
public:
    explicit DataModule(QObject* parent = nullptr);
    ~DataModule() override;

    // Points every holder at the store of a data directory (opening it) or at a given connection.
    void connectTo(const QString& dataDir);
    void connectTo(const StoreLocation& location);
    void attach(std::unique_ptr<Database> db);
    Database* database() const { return m_db.get(); }
    // The operator who logged in: on a shared store the settings record is then theirs.
    void setOperator(const QString& code);
    bool isConnected() const { return m_db != nullptr; }

    // The forty fields that each of the four workload views declares.
    static QList<Query::FieldDef> workloadFields();

    Query* const xssj2;
    Query* const dtbmdm1;
    Query* const dtbmdm2;
    Query* const dtbmdm;
    Query* const dtrydm;
    Query* const dtllsj;
    Query* const dtsxsj;
    Query* const dtbysj;
    Query* const dtzdss;
    Query* const dtk12;
    Query* const dts3;
    Query* const Query1;
    Query* const Query2;
    Query* const xssj1;
    TableObject* const Tbsystem;

    DataSource* const dbrydm;
    DataSource* const dbbmdm;
    DataSource* const dbllsj;
    DataSource* const dbsxsj;
    DataSource* const dbbysj;
    DataSource* const dbzdss;
    DataSource* const dbk12;
    DataSource* const Dbs3;

    QList<Query*> queries() const;
    // The holder of that name; nullptr when there is none.
    Query* query(const QString& name) const;

private:
    std::unique_ptr<Database> m_db;
};
