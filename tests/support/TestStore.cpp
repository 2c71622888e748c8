#include "support/TestStore.h"

#include "store/DemoData.h"
#include "store/Field.h"
#include "store/StoreSetup.h"
#include "store/Transaction.h"

#include <QFile>
#include <QTest>

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

} // namespace

TestStore::TestStore(bool demo)
{
    if (!m_dir.isValid())
        qFatal("no temporary directory");
    if (!QFile::copy(freshStoreTemplate(), Database::storePath(m_dir.path())))
        qFatal("cannot copy the fresh store");
    m_data = std::make_unique<DataModule>();
    m_data->connectTo(m_dir.path());
    if (demo) {
        Transaction tx(db());
        DemoData::generate(db(), DemoData::demo());
        tx.commit();
    }
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
