#include "store/Transaction.h"

#include "store/Database.h"

Transaction::Transaction(Database& db) : m_db(db), m_nested(db.inTransaction())
{
    m_db.executeInternal(m_nested ? QStringLiteral("SAVEPOINT nested_command") : QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    try {
        if (m_nested) {
            m_db.executeInternal(QStringLiteral("ROLLBACK TO nested_command"));
            m_db.executeInternal(QStringLiteral("RELEASE nested_command"));
        } else if (m_db.inTransaction()) {
            m_db.executeInternal(QStringLiteral("ROLLBACK"));
        }
    } catch (const StoreError&) {
        // A rollback that fails leaves SQLite to roll back on its own; nothing more can be done here.
    }
}

void Transaction::commit()
{
    m_db.executeInternal(m_nested ? QStringLiteral("RELEASE nested_command") : QStringLiteral("COMMIT"));
    m_done = true;
}
