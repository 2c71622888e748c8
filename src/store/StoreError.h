#pragma once

#include "store/ProgramError.h"

#include <QString>

// A statement the store refused, or a store that cannot be used. text() carries the store's own
// message; statement() is the statement as it was given to the store (empty when none was
// running). The kind says why: the statement or its values (RefusedInput), another program's
// lock (Busy), the disk (DiskFull), a file that is no store or is damaged (DamagedFile), or the
// file system (Io).
class StoreError : public ProgramError
{
public:
    explicit StoreError(const QString& text, const QString& statement = {}, Kind kind = Kind::RefusedInput)
        : ProgramError(kind, text), m_statement(statement)
    {}

    const QString& statement() const { return m_statement; }
    // A number beyond every double: the server stops a statement that computes one, where the
    // desktop store keeps an infinity.
    bool isOverflow() const { return m_overflow; }
    StoreError& markOverflow()
    {
        m_overflow = true;
        return *this;
    }
    // The server undid the statement's transaction because another one's changes crossed it (a
    // serialization failure or a deadlock): the same work may succeed when it is done again.
    bool isConflict() const { return m_conflict; }
    StoreError& markConflict()
    {
        m_conflict = true;
        return *this;
    }
    // For a command that reports a refused statement in its own words: the state of the store is
    // not the operator's input, so it goes on to the general error display.
    void throwIfStoreState() const
    {
        if (isStoreState())
            throw *this;
    }

private:
    QString m_statement;
    bool m_overflow = false;
    bool m_conflict = false;
};
