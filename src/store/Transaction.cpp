#include "store/Transaction.h"

#include "store/Database.h"

namespace {

const QString Nested = QStringLiteral("nested_command");

} // namespace

Transaction::Transaction(Database& db) : m_db(db), m_nested(db.inTransaction())
{
    if (m_nested)
        m_db.savepoint(Nested);
    else
        m_db.begin();
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    try {
        if (m_nested) {
            m_db.rollbackTo(Nested);
            m_db.release(Nested);
        } else if (m_db.inTransaction()) {
            m_db.rollback();
        }
    } catch (const StoreError&) {
        // A rollback that fails leaves the engine to roll back on its own; nothing more can be done here.
    }
}

void Transaction::commit()
{
    if (m_nested)
        m_db.release(Nested);
    else
        m_db.commit();
    m_done = true;
}
