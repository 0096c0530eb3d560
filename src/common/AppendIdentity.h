#pragma once

#include <QString>
#include <QStringList>

namespace vantorel {

// The identity of the record a window appends, kept until the store confirms the append: when
// the answer never came (the connection lost after the record was sent), pressing again with the
// same entries sends the same identity, and the store keeps the record once. Other entries, or a
// confirmed append, make the next record another one.
class AppendIdentity {
public:
    // The identity for the record of `entries`.
    QString forEntries(const QStringList& entries);
    // Whether `entries` are those of an append the store has not confirmed.
    bool isUnconfirmed(const QStringList& entries) const;
    void confirmed();

private:
    QStringList m_entries;
    QString m_identity;
};

} // namespace vantorel
