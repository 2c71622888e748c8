#pragma once

#include <QString>

// Operator passwords are stored as salted, deliberately slow Argon2id hashes (libsodium's encoded
// form, "$argon2id$v=19$m=...,t=...,p=...$salt$hash"), never as the text typed. A password is
// the UTF-8 bytes of its text, exactly as typed: no trimming, no change of case.
namespace PasswordHash {

// A fresh encoded hash with a random salt; two calls for one password give different texts.
// Throws StoreError when libsodium cannot start or cannot get the memory the hash needs.
QString hash(const QString& password);

// Whether `typed` is the password that `stored` was made from. Compares in constant time.
// A stored text that is not a hash (see isHash) never verifies.
bool verify(const QString& stored, const QString& typed);

// Whether `stored` is an encoded Argon2id hash rather than a password kept as clear text from
// before passwords were hashed. Clear text that merely starts with '$' is not a hash.
bool isHash(const QString& stored);

} // namespace PasswordHash
