#pragma once

#include <QString>

#include <stdexcept>

namespace vantorel::data {

// A store operation that failed: what the program tried, in words a user reads, and what the
// store itself said.
class StoreError : public std::runtime_error {
public:
    // What the failure tells about a record being appended.
    enum class Kind {
        Failed,         // nothing was stored
        OutcomeUnknown, // the statement was sent and the answer never came: stored or not
        AlreadyStored,  // a record with this append identity is in the store already
        NoAppendKey,    // the store was made before records carried an append identity
    };

    StoreError(const QString& attempt, const QString& storeMessage, Kind kind = Kind::Failed);

    Kind kind() const { return m_kind; }
    const QString& storeMessage() const { return m_storeMessage; }

    // The text shown to the user: the attempt, then the store's own message.
    QString message() const;

private:
    QString m_attempt;
    QString m_storeMessage;
    Kind m_kind;
};

} // namespace vantorel::data
