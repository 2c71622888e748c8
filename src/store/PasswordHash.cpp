#include "store/PasswordHash.h"

#include "store/StoreError.h"

#include <QStringList>

#include <sodium.h>

// The cost is libsodium's "interactive" level (2 passes over 64 MiB): about a tenth of a second per
// hash on a desktop, paid once per login or password change and once per operator by the upgrade of
// clear-text passwords. The stronger levels (256 MiB to 1 GiB, up to seconds) would make every login
// wait noticeably on the office machines this runs on, for a local operator table.
namespace {

constexpr unsigned long long OpsLimit = crypto_pwhash_OPSLIMIT_INTERACTIVE;
constexpr size_t MemLimit = crypto_pwhash_MEMLIMIT_INTERACTIVE;
constexpr char Prefix[] = "$argon2id$";
constexpr qsizetype SaltChars = 22; // crypto_pwhash_SALTBYTES in unpadded base64
constexpr qsizetype HashChars = 43; // the 32-byte hash in unpadded base64

void ensureSodium()
{
    static const int started = sodium_init();
    if (started < 0)
        throw StoreError(QStringLiteral("口令加密库 libsodium 无法初始化"));
}

} // namespace

namespace PasswordHash {

QString hash(const QString& password)
{
    ensureSodium();
    const QByteArray bytes = password.toUtf8();
    char encoded[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(encoded, bytes.constData(), static_cast<unsigned long long>(bytes.size()), OpsLimit,
                              MemLimit, crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw StoreError(QStringLiteral("口令加密失败：内存不足"));
    return QString::fromLatin1(encoded);
}

bool verify(const QString& stored, const QString& typed)
{
    if (!isHash(stored))
        return false;
    const QByteArray encoded = stored.toLatin1();
    const QByteArray bytes = typed.toUtf8();
    return crypto_pwhash_str_verify(encoded.constData(), bytes.constData(),
                                    static_cast<unsigned long long>(bytes.size())) == 0;
}

bool isHash(const QString& stored)
{
    ensureSodium();
    if (!stored.startsWith(QLatin1String(Prefix)) || stored.size() >= qsizetype(crypto_pwhash_STRBYTES) ||
        stored.contains(QChar(0)))
        return false;
    // The decoder accepts a hash part of any length down to four bytes, so a stored hash cut short
    // would still parse: the salt and the hash must have exactly the lengths this program writes
    // (16 and 32 bytes, unpadded base64).
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 6 || parts.at(4).size() != SaltChars || parts.at(5).size() != HashChars)
        return false;
    // The whole encoding must parse: version, parameters, salt and hash. needs_rehash answers -1 for
    // any text that does not; 0 or 1 only for a well-formed Argon2id string.
    const QByteArray encoded = stored.toLatin1();
    return crypto_pwhash_str_needs_rehash(encoded.constData(), OpsLimit, MemLimit) >= 0;
}

} // namespace PasswordHash
