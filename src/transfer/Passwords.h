#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace vantorel::transfer {

class Progress;

// Argon2id hashing and verifying of many passwords at once, one thread per core: each takes about
// a tenth of a second and its own memory, so a few hundred users take seconds, not minutes.

// Hashes each password in place; the count done so far goes to `progress`.
void hashAll(QList<QString>& passwords, Progress& progress);

// Whether every stored hash verifies the password typed beside it.
bool allVerify(const QList<std::pair<QString, QString>>& typedAndStored, Progress& progress);

} // namespace vantorel::transfer
