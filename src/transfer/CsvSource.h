#pragma once

#include "transfer/RecordSource.h"

#include <QHash>

namespace vantorel::transfer {

// One table's records in a CSV file as RFC 4180 writes it (fields separated by commas, a field
// with a comma, quote or line break in double quotes, quotes doubled; lines ended by CR LF or
// LF), in UTF-8 with or without a byte-order mark. The first row names the columns, by field
// name or by the report's column title, letter case ignored, in any order; every field of the
// table must have its column. A value that begins with an apostrophe loses that one apostrophe:
// it is what "Save Report as CSV…" puts before a value a spreadsheet would take for a formula,
// or for one that begins with an apostrophe itself. Manager takes Yes, True, 1 or -1 for yes and
// No, False, 0 or nothing for no. A CSV file has no Null: an empty field is empty text.
// The whole file is checked on opening; the first fault stops it (StoreError) with its line.
class CsvSource : public RecordSource {
public:
    CsvSource(const data::TableDescription& table, const QString& path);

    QString name() const override;
    QList<const data::TableDescription*> tables() const override { return {&m_table}; }
    qint64 count(const data::TableDescription&) override { return m_records; }
    std::unique_ptr<TableReader> read(const data::TableDescription& table) override;
    QStringList extraColumns(const data::TableDescription&) const override { return {}; }
    QStringList extraTables() const override { return {}; }
    bool passwordsAsTyped() const override { return true; }

private:
    const data::TableDescription& m_table;
    QString m_path;
    std::vector<int> m_fieldOfColumn; // the table's field each column of the file holds
    qint64 m_records = 0;
};

} // namespace vantorel::transfer
