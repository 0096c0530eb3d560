#pragma once

#include <QString>

#include <stdexcept>

namespace vantorel::data {

// A store operation that failed: what the program tried, in words a user reads, and what the
// store itself said.
class StoreError : public std::runtime_error {
public:
    StoreError(const QString& attempt, const QString& storeMessage);

    // The text shown to the user: the attempt, then the store's own message.
    QString message() const;

private:
    QString m_attempt;
    QString m_storeMessage;
};

} // namespace vantorel::data
