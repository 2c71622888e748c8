#pragma once

#include "store/Database.h"

class PostgresDatabase;

// The server's calculation guard: while it lives, the connection's statements run as the
// calculation's own role, which may read only the granted tables and update only the granted
// columns (the server's column privileges), each statement stopped after the server's statement
// timeout. A parameter row cannot leave the role: each statement is one statement (the server
// refuses a second one in a call), and after each the connection must still be the role with the
// guard's settings, or the statement is refused and with it the calculation's transaction.
// Runs inside the calculation's transaction; the role and the timeout end with the guard.
class PostgresCalculationGuard : public Database::Scope
{
public:
    // About as long as the desktop store's default step budget lets a statement run; a budget
    // given is turned into time at about the desktop store's pace, but never below the minimum
    // that an ordinary statement needs.
    static constexpr int StatementTimeoutMs = 10000;
    static constexpr quint64 StepsPerMs = 100'000;
    static constexpr quint64 MinimumTimeoutMs = 100;
    static int timeoutMs(quint64 budget);

    PostgresCalculationGuard(PostgresDatabase& db, const Database::CalculationGrant& grant);
    ~PostgresCalculationGuard() override;
    PostgresCalculationGuard(const PostgresCalculationGuard&) = delete;
    PostgresCalculationGuard& operator=(const PostgresCalculationGuard&) = delete;

    // The statements that give the calculation's role exactly the grant on the store's tables.
    static QStringList grantStatements(const QString& schema, const QString& role,
                                       const Database::CalculationGrant& grant);
    // The same rights on those of the connection's temporary tables (`staged`, lower case) that
    // stand for a granted table.
    static QStringList stagedGrantStatements(const QStringList& staged, const QString& role,
                                             const Database::CalculationGrant& grant);

private:
    PostgresDatabase& m_db;
};
