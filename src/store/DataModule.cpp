#include "store/DataModule.h"

namespace {

Query* holder(QObject* parent, const char* name)
{
    return new Query(QString::fromLatin1(name), parent);
}

} // namespace

DataModule::DataModule(QObject* parent)
    : QObject(parent), xssj2(holder(this, "xssj2")), dtbmdm1(holder(this, "dtbmdm1")), dtbmdm2(holder(this, "dtbmdm2")),
      dtbmdm(holder(this, "dtbmdm")), dtrydm(holder(this, "dtrydm")), dtllsj(holder(this, "dtllsj")),
      dtsxsj(holder(this, "dtsxsj")), dtbysj(holder(this, "dtbysj")), dtzdss(holder(this, "dtzdss")),
      dtk12(holder(this, "dtk12")), dts3(holder(this, "dts3")), Query1(holder(this, "Query1")),
      Query2(holder(this, "Query2")), xssj1(holder(this, "xssj1")),
      Tbsystem(new TableObject(QStringLiteral("Tbsystem"), QStringLiteral("system"), this)),
      dbrydm(new DataSource(QStringLiteral("dbrydm"), dtrydm, this)),
      dbbmdm(new DataSource(QStringLiteral("dbbmdm"), dtbmdm, this)),
      dbllsj(new DataSource(QStringLiteral("dbllsj"), dtllsj, this)),
      dbsxsj(new DataSource(QStringLiteral("dbsxsj"), dtsxsj, this)),
      dbbysj(new DataSource(QStringLiteral("dbbysj"), dtbysj, this)),
      dbzdss(new DataSource(QStringLiteral("dbzdss"), dtzdss, this)),
      dbk12(new DataSource(QStringLiteral("dbk12"), dtk12, this)),
      Dbs3(new DataSource(QStringLiteral("Dbs3"), dts3, this))
{
    setObjectName(QStringLiteral("dmmsdb"));
    for (Query* view : {dtllsj, dtsxsj, dtbysj, dtzdss})
        view->setDeclaredFields(workloadFields());
    dtk12->add(QStringLiteral("select fenlie,shuoming,k12,sunxu,yan from sysparameter where fenlie=0 or fenlie =1 "));
    dtk12->add(QStringLiteral("order by fenlie,sunxu"));
    dts3->add(QStringLiteral("select fenlie,shuoming,k11,sunxu from sysparameter where fenlie=9 "));
    dts3->add(QStringLiteral("order by fenlie,sunxu"));
}

DataModule::~DataModule() = default;

QList<Query*> DataModule::queries() const
{
    return {xssj2,  dtbmdm1, dtbmdm2, dtbmdm, dtrydm, dtllsj, dtsxsj,
            dtbysj, dtzdss,  dtk12,   dts3,   Query1, Query2, xssj1};
}

Query* DataModule::query(const QString& name) const
{
    for (Query* q : queries())
        if (q->objectName() == name)
            return q;
    return nullptr;
}

void DataModule::connectTo(const QString& dataDir)
{
    attach(Database::open(dataDir));
}

void DataModule::connectTo(const StoreLocation& location)
{
    attach(Database::open(location));
}

void DataModule::setOperator(const QString& code)
{
    if (!m_db || !m_db->isServer())
        return;
    // The settings record is the operator's own from now on: an open record is read again.
    const bool open = Tbsystem->isActive();
    Tbsystem->close();
    m_db->setOperator(code);
    if (open)
        Tbsystem->activate();
}

void DataModule::attach(std::unique_ptr<Database> db)
{
    for (Query* q : queries())
        q->close();
    Tbsystem->close();
    m_db = std::move(db);
    for (Query* q : queries())
        q->setDatabase(m_db.get());
    Tbsystem->setDatabase(m_db.get());
}

QList<Query::FieldDef> DataModule::workloadFields()
{
    using T = Query::FieldType;
    using D = Query::Display;
    auto text = [](const char* n, int size) { return Query::FieldDef{QString::fromLatin1(n), T::Text, size}; };
    auto number = [](const char* n, D d = D::TwoDecimals) {
        return Query::FieldDef{QString::fromLatin1(n), T::Float, 0, d};
    };
    return {
        {QStringLiteral("Xh"), T::Integer, 0, D::Plain},
        text("Jiaoshi", 15),
        text("Yuanbu", 25),
        text("Jiaoyanshi", 25),
        {QStringLiteral("Gm"), T::SmallInt, 0, D::Plain},
        text("Yan", 7),
        text("Banji", 25),
        number("R1"),
        text("Kname", 25),
        number("T1"),
        number("Q1"),
        number("Q11"),
        number("Q12"),
        text("Shuoming", 55),
        number("K11"),
        number("S1"),
        number("K12"),
        number("Kk12"),
        number("R2"),
        number("T2"),
        number("Bg", D::General),
        number("Fzs", D::General),
        number("R3"),
        number("S3"),
        number("W"),
        text("Nd", 25),
        text("Xingzhi", 9),
        text("Zhicheng", 9),
        number("S2"),
        number("C12"),
        number("K2"),
        number("Q2"),
        number("Q31"),
        number("Q32"),
        number("Q33"),
        text("FL", 15),
        number("R32"),
        number("R33"),
        number("K31"),
        text("Gangwei", 25),
    };
}
