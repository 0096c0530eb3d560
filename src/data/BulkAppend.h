#pragma once

#include <QVariantList>

namespace vantorel::data {

// Appends many records of one table inside the caller's transaction, far faster than one
// statement each: the file reuses one prepared statement, the server takes them as one COPY.
// A record holds its fields in the table's order, each a QString, a null QVariant (no value) or,
// for the yes/no flag, 0 or 1. Every failure is thrown as a StoreError.
class BulkAppend {
public:
    virtual ~BulkAppend() = default;

    virtual void append(const QVariantList& record) = 0;
    // Hands over whatever is still waiting; every record appended is then in the transaction.
    virtual void finish() = 0;
};

} // namespace vantorel::data
