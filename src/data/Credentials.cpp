#include "data/Credentials.h"

#include "data/StoreError.h"

#include <sodium.h>

namespace vantorel::data {

namespace {

// A hash of a password nobody has; verified against when there is no stored hash to check.
constexpr char kStandInHash[] =
    "$argon2id$v=19$m=65536,t=2,p=1$QQHrMqi85lkXtj//abYZFA$bVByKIjfDYQANnFZcTbYgssGXfjoC7RaghN4kQI9Ei0";

bool sodiumReady()
{
    return sodium_init() >= 0;
}

bool isHash(const QString& stored)
{
    return stored.startsWith(QLatin1String(crypto_pwhash_STRPREFIX));
}

bool verifyHash(const QByteArray& hash, const QString& typed)
{
    const QByteArray password = typed.toUtf8();
    return sodiumReady()
        && crypto_pwhash_str_verify(hash.constData(), password.constData(),
                                    static_cast<unsigned long long>(password.size()))
        == 0;
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
    if (!stored) {
        spendVerificationTime(typed);
        return false;
    }
    if (isHash(*stored))
        return verifyHash(stored->toLatin1(), typed);
    // A clear password compares in constant time too, after the same hashing work.
    spendVerificationTime(typed);
    const QByteArray expected = stored->toUtf8();
    const QByteArray given = typed.toUtf8();
    return expected.size() == given.size()
        && sodium_memcmp(expected.constData(), given.constData(), static_cast<size_t>(given.size())) == 0;
}

void spendVerificationTime(const QString& typed)
{
    verifyHash(QByteArray(kStandInHash), typed);
}

} // namespace vantorel::data
