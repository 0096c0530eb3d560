#include "transfer/StoreSource.h"

#include "data/Connection.h"
#include "data/TableScan.h"
#include "data/Tables.h"

namespace vantorel::transfer {

using data::TableDescription;

namespace {

class StoreTableReader : public TableReader {
public:
    StoreTableReader(data::Connection& connection, const TableDescription& table)
        : m_table(table)
        , m_scan(data::recordsAfter(connection, table, 0))
        , m_fields(fieldPositions(*m_scan, table))
    {
    }

    bool next(data::BulkRecord& record) override
    {
        if (!m_scan->next())
            return false;
        storedRecord(*m_scan, m_table, m_fields, record);
        return true;
    }


private:
    const TableDescription& m_table;
    std::unique_ptr<data::RowScan> m_scan;
    std::vector<int> m_fields;
};

} // namespace

std::vector<int> fieldPositions(const data::RowScan& scan, const TableDescription& table)
{
    std::vector<int> fields;
    for (const data::FieldDescription& field : table.fields)
        fields.push_back(scan.field(table.sqlName(), QString::fromLatin1(field.name)));
    return fields;
}

void storedRecord(const data::RowScan& scan, const TableDescription& table, const std::vector<int>& fields,
                  data::BulkRecord& record)
{
    record.resize(fields.size());
    for (size_t i = 0; i < fields.size(); ++i) {
        if (table.fields[i].kind == data::FieldKind::YesNo)
            record[i].set(scan.isYes(fields[i]) ? "1" : "0");
        else if (scan.isNull(fields[i]))
            record[i].setNull();
        else
            record[i].set(scan.utf8(fields[i]));
    }
}

StoreSource::StoreSource(data::Connection& connection)
    : m_connection(connection)
{
}

QString StoreSource::name() const
{
    return m_connection.place();
}

QList<const TableDescription*> StoreSource::tables() const
{
    return {std::begin(data::kAllTables), std::end(data::kAllTables)};
}

qint64 StoreSource::count(const TableDescription& table)
{
    return data::recordCount(m_connection, table);
}

std::unique_ptr<TableReader> StoreSource::read(const TableDescription& table)
{
    return std::make_unique<StoreTableReader>(m_connection, table);
}

} // namespace vantorel::transfer
