#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "data/BulkAppend.h"

#include <memory>

namespace vantorel::data {
struct TableDescription;
}

namespace vantorel::transfer {

// The records of one table as a source gives them, one at a time: the table's fields in their
// order, each its UTF-8 text (empty text stays empty) or no value, the yes/no flag as "1" or "0".
class TableReader {
public:
    virtual ~TableReader() = default;

    // Reads the next record into `record`; false past the last one.
    virtual bool next(data::BulkRecord& record) = 0;
};

// Where records come from in bulk: a store, the earlier program's Jet file, a CSV file. A source
// checks on opening that it holds every table and field it brings, so nothing is made for a source
// that would fail; it can be read again from the start, which is how the copy is compared.
class RecordSource {
public:
    virtual ~RecordSource() = default;

    // The source in a user's words: "the Jet file old/Vantorel.mdb".
    virtual QString name() const = 0;
    // The tables it brings, in the order they are stored.
    virtual QList<const data::TableDescription*> tables() const = 0;
    // How many records the table holds, for the progress shown while they move.
    virtual qint64 count(const data::TableDescription& table) = 0;
    virtual std::unique_ptr<TableReader> read(const data::TableDescription& table) = 0;
    // What the source holds beside the tables and fields it brings, left where it is.
    virtual QStringList extraColumns(const data::TableDescription& table) const = 0;
    virtual QStringList extraTables() const = 0;
    // Whether its passwords are as typed (and so hashed on the way in), not as a store keeps them.
    virtual bool passwordsAsTyped() const = 0;
};

} // namespace vantorel::transfer
