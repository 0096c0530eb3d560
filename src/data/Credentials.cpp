#include "data/Credentials.h"

#include "data/StoreError.h"

#include <QRegularExpression>

#include <sodium.h>

namespace vantorel::data {

namespace {

// A hash of a password nobody has; verified against when there is no stored hash to check.
constexpr char kStandInHash[] =
    "$argon2id$v=19$m=65536,t=2,p=1$QQHrMqi85lkXtj//abYZFA$bVByKIjfDYQANnFZcTbYgssGXfjoC7RaghN4kQI9Ei0";

// The ceiling on what a stored hash may ask of a log-in: the memory and the work (passes over that
// memory) of libsodium's MODERATE limits, 256 MiB and 3 passes over it, where the program writes
// 2 passes over 64 MiB. A hash asking more is never verified, so a value put into the file cannot
// make a log-in hang or take the machine's memory.
constexpr quint64 kMaxMemoryKiB = crypto_pwhash_MEMLIMIT_MODERATE / 1024;
constexpr quint64 kMaxWorkKiB = crypto_pwhash_OPSLIMIT_MODERATE * kMaxMemoryKiB;

bool sodiumReady()
{
    return sodium_init() >= 0;
}

// Whether the stored text is an argon2id or argon2i hash that libsodium verifies, with one lane,
// within the ceiling. The numbers are read here, never by libsodium, before they are trusted.
bool isAcceptedHash(const QString& stored)
{
    static const QRegularExpression argon2(QStringLiteral(
        "^\\$argon2id?\\$v=19\\$m=([0-9]{1,10}),t=([0-9]{1,10}),p=1\\$[A-Za-z0-9+/]+\\$[A-Za-z0-9+/]+$"));
    if (stored.size() >= qsizetype(crypto_pwhash_STRBYTES))
        return false;
    const QRegularExpressionMatch match = argon2.match(stored);
    if (!match.hasMatch())
        return false;
    const quint64 memoryKiB = match.captured(1).toULongLong();
    const quint64 passes = match.captured(2).toULongLong();
    return memoryKiB <= kMaxMemoryKiB && passes >= 1 && passes * memoryKiB <= kMaxWorkKiB;
}

bool verifyHash(const QByteArray& hash, const QString& typed)
{
    const QByteArray password = typed.toUtf8();
    return sodiumReady()
        && crypto_pwhash_str_verify(hash.constData(), password.constData(),
                                    static_cast<unsigned long long>(password.size()))
        == 0;
}

bool clearTextMatches(const QString& stored, const QString& typed)
{
    // A clear password compares in constant time too, after the same hashing work.
    spendVerificationTime(typed);
    const QByteArray expected = stored.toUtf8();
    const QByteArray given = typed.toUtf8();
    return expected.size() == given.size()
        && sodium_memcmp(expected.constData(), given.constData(), static_cast<size_t>(given.size())) == 0;
}

} // namespace

QString hashPassword(const QString& password)
{
    const QByteArray bytes = password.toUtf8();
    char hash[crypto_pwhash_STRBYTES];
    if (!sodiumReady()
        || crypto_pwhash_str(hash, bytes.constData(), static_cast<unsigned long long>(bytes.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0) {
        throw StoreError(QStringLiteral("The password could not be protected for storing."),
                         QStringLiteral("The password library could not hash it."));
    }
    return QString::fromLatin1(hash);
}

bool passwordMatches(const std::optional<QString>& stored, const QString& typed)
{
    if (stored && isAcceptedHash(*stored))
        return verifyHash(stored->toLatin1(), typed);
    if (stored && !looksLikePasswordHash(*stored))
        return clearTextMatches(*stored, typed);
    // No value, or a hash this program will not verify: it matches nothing, after the same work.
    spendVerificationTime(typed);
    return false;
}

bool looksLikePasswordHash(const QString& stored)
{
    // "$argon2...", or "$" and a scheme name and "$", as in "$2b$", "$7$", "$scrypt$".
    static const QRegularExpression hashFormat(QStringLiteral("^\\$(argon2|[A-Za-z0-9-]+\\$)"));
    return hashFormat.match(stored).hasMatch();
}

void spendVerificationTime(const QString& typed)
{
    verifyHash(QByteArray(kStandInHash), typed);
}

} // namespace vantorel::data
