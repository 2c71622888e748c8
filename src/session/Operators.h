#pragma once

#include <QString>

#include <optional>

class DataModule;
struct Session;

// The operators of table user1: the login check and the password change. Passwords are kept as
// salted hashes; what an operator types is compared through them exactly as typed.
class Operators
{
public:
    // The longest code and password the login box takes.
    static constexpr int MaxCodeLength = 20;
    static constexpr int MaxPasswordLength = 20;

    explicit Operators(DataModule& data) : m_data(data) {}

    // The operator's right gl1 when exactly one row of user1 has the code and the password, as
    // typed; nothing when none or several do. Read in xssj2.
    std::optional<bool> login(const QString& code, const QString& password);

    // Stores `newPassword` (already trimmed by the caller) for the session's operator in place of
    // the session's password and takes it into the session. A stored password that no longer
    // matches (changed elsewhere since login) is left as it is, without a word.
    void changePassword(Session& session, const QString& newPassword);

    // Whether a stored text holds the typed password (a hash, or clear text of an older store).
    static bool matches(const QString& stored, const QString& typed);

private:
    DataModule& m_data;
};
