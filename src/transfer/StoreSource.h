#pragma once

#include "transfer/RecordSource.h"

namespace vantorel::data {
class Connection;
class RowScan;
}

namespace vantorel::transfer {

// The records of a store, in its own order, as they are stored (passwords included). Reading
// them in one transaction the caller began on `connection` gives one moment of the store.
class StoreSource : public RecordSource {
public:
    explicit StoreSource(data::Connection& connection);

    QString name() const override;
    QList<const data::TableDescription*> tables() const override;
    qint64 count(const data::TableDescription& table) override;
    std::unique_ptr<TableReader> read(const data::TableDescription& table) override;
    QStringList extraColumns(const data::TableDescription&) const override { return {}; }
    QStringList extraTables() const override { return {}; }
    bool passwordsAsTyped() const override { return false; }

private:
    data::Connection& m_connection;
};

// A store's record as the current row of `scan` holds it: the yes/no flag as "1" or "0" (whatever
// value another program stored there), every other field as its text or no value. `fields` are
// the positions of the table's fields in the scan (fieldPositions).
void storedRecord(const data::RowScan& scan, const data::TableDescription& table, const std::vector<int>& fields,
                  data::BulkRecord& record);
std::vector<int> fieldPositions(const data::RowScan& scan, const data::TableDescription& table);

} // namespace vantorel::transfer
