#pragma once

#include "data/RowScan.h"

#include <memory>

namespace vantorel::data {

class Connection;
struct TableDescription;

// Every field of the records of `table` stored after `position` (0: from the first), in the
// store's own order: what the tools that move records read back to compare.
std::unique_ptr<RowScan> recordsAfter(Connection& connection, const TableDescription& table, qint64 position);

// How many records `table` holds.
qint64 recordCount(Connection& connection, const TableDescription& table);

// The position of the last record of `table` in the store's own order; 0 when it holds none.
qint64 lastPosition(Connection& connection, const TableDescription& table);

} // namespace vantorel::data
