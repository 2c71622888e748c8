#include "session/Operators.h"

#include "session/Session.h"
#include "store/DataModule.h"
#include "store/PasswordHash.h"
#include "store/Sql.h"
#include "store/Transaction.h"

bool Operators::matches(const QString& stored, const QString& typed)
{
    return PasswordHash::isHash(stored) ? PasswordHash::verify(stored, typed) : stored == typed;
}

std::optional<bool> Operators::login(const QString& code, const QString& password)
{
    // The row is found by its code; the password is compared through its hash.
    Query* q = m_data.xssj2;
    q->setStatement({QStringLiteral("select * from user1 where (name=%1)").arg(Sql::quote(code))});
    q->open();
    int found = 0;
    bool right = false;
    for (; !q->eof(); q->next()) {
        if (!matches(q->fieldByName(QStringLiteral("password1")).asString(), password))
            continue;
        ++found;
        right = q->fieldByName(QStringLiteral("gl1")).asBoolean();
    }
    q->close();
    if (found != 1)
        return std::nullopt;
    return right;
}

void Operators::changePassword(Session& session, const QString& newPassword)
{
    Database& db = *m_data.database();
    Transaction transaction(db);
    Query* q = m_data.xssj2;
    const QString identity = db.rowIdentity();
    q->setStatement({QStringLiteral("select %1 as id, password1 from user1 where (name=%2)")
                         .arg(identity, Sql::quote(session.OperatorCode))});
    q->open();
    QStringList rows;
    for (; !q->eof(); q->next()) {
        if (matches(q->fieldByName(QStringLiteral("password1")).asString(), session.OperatorPassword))
            rows << q->fieldByName(QStringLiteral("id")).asString();
    }
    q->close();
    for (const QString& id : rows) {
        q->setStatement({QStringLiteral("update user1 set password1=%1 where %2=%3")
                             .arg(Sql::quote(PasswordHash::hash(newPassword)), identity, id)});
        q->execSql();
    }
    transaction.commit();
    session.OperatorPassword = newPassword;
}
