#pragma once

#include <QString>

#include <optional>

namespace vantorel::data {

// The stored form of a new password: an argon2id hash string (libsodium, interactive limits).
QString hashPassword(const QString& password);

// Whether a typed password matches what Person holds. A stored argon2id or argon2i hash is
// verified when its cost lies within a ceiling (256 MiB, and the work of 3 passes over it); any
// other text in a password-hash format ("$argon2...", "$2b$", "$7$"...) matches nothing. Any other
// stored text, put into the file by other means, must equal the typed text exactly (letter case
// and blanks count). A stored Null matches nothing.
bool passwordMatches(const std::optional<QString>& stored, const QString& typed);

// Whether the stored text is in a password-hash format ("$argon2...", "$2b$", "$7$"...): such a
// text is never compared as typed, nor hashed again by a tool that hashes typed passwords.
bool looksLikePasswordHash(const QString& stored);

// Spends the time of one hash verification without a stored password, so that the answer for an
// unknown user takes as long as the answer for a wrong password.
void spendVerificationTime(const QString& typed);

} // namespace vantorel::data
