#include "BoundInsert.h"

#include "Database.h"
#include "StoreError.h"

#include <sqlite3.h>

BoundInsert::BoundInsert(Database& db, const QString& statement) : m_db(db), m_statement(statement)
{
    const QByteArray sql = statement.toUtf8();
    if (sqlite3_prepare_v2(db.handle(), sql.constData(), int(sql.size()), &m_stmt, nullptr) != SQLITE_OK)
        fail();
}

BoundInsert::~BoundInsert()
{
    sqlite3_finalize(m_stmt);
}

void BoundInsert::fail()
{
    throw StoreError(QString::fromUtf8(sqlite3_errmsg(m_db.handle())), m_statement);
}

void BoundInsert::insert(const QVariantList& values)
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& v = values[i];
        int rc = SQLITE_OK;
        if (!v.isValid() || v.isNull()) {
            rc = sqlite3_bind_null(m_stmt, i + 1);
        } else if (v.typeId() == QMetaType::Double) {
            rc = sqlite3_bind_double(m_stmt, i + 1, v.toDouble());
        } else if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int) {
            rc = sqlite3_bind_int64(m_stmt, i + 1, v.toLongLong());
        } else if (v.typeId() == QMetaType::QString) {
            const QString& text = *static_cast<const QString*>(v.constData());
            rc = sqlite3_bind_text16(m_stmt, i + 1, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
        } else {
            const QByteArray text = v.toString().toUtf8();
            rc = sqlite3_bind_text(m_stmt, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK)
            fail();
    }
    if (sqlite3_step(m_stmt) != SQLITE_DONE)
        fail();
}
