#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantorel::data {

// One field of a record moved in bulk: its text as UTF-8 bytes, or no value; the yes/no flag is
// "1" or "0". The buffer is kept from record to record, so moving a million records does not
// allocate a million times.
struct BulkField {
    bool isNull = true;
    std::string text;

    void set(std::string_view bytes)
    {
        isNull = false;
        text.assign(bytes);
    }
    void setNull()
    {
        isNull = true;
        text.clear();
    }
    bool operator==(const BulkField&) const = default;
};

// A record's fields in its table's order.
using BulkRecord = std::vector<BulkField>;

// Appends many records of one table inside the caller's transaction, far faster than one
// statement each: the file reuses one prepared statement, the server takes them as one COPY.
// Every failure is thrown as a StoreError.
class BulkAppend {
public:
    virtual ~BulkAppend() = default;

    virtual void append(const BulkRecord& record) = 0;
    // Hands over whatever is still waiting; every record appended is then in the transaction.
    virtual void finish() = 0;
};

} // namespace vantorel::data
