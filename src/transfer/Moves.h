#pragma once

#include "data/ServerStore.h"
#include "transfer/Transfer.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace vantorel::data {
struct TableDescription;
}

namespace vantorel::transfer {

class Progress;

// The setup tool's moves of records in bulk, each through transferRecords: whatever stops one
// (a refusal, a difference, a failure, Ctrl+C) leaves the folder and the server as they were.
// A new file is built under a temporary name beside `path` and put in place by one rename.

// Converts the earlier program's Jet file at `jetPath` into a store at `path`: a new SQLite file,
// or the empty server database `server` names with a link file at `path`. When `jetPath` is
// `path` itself, the Jet file is kept as path + ".before-import" (never replacing anything) and
// the new store takes its name in one rename; otherwise nothing may be at `path`.
TransferSummary importJetFile(const QString& jetPath, const QString& path, const std::optional<data::ServerTarget>& server,
                              Progress& progress);

// Appends the records of the CSV file `csvPath` to `table` in the store at `path`, in one
// transaction: all of them or none.
TransferSummary importCsvFile(const data::TableDescription& table, const QString& csvPath, const QString& path,
                              Progress& progress);

// Copies every record of the SQLite file at `path` to the empty server database, then keeps the
// file as path + ".before-server" and puts a link file naming the server in its place. On the
// server the tables are the connected role's and the workstations' role may read and add records.
TransferSummary copyToServer(const QString& path, const data::ServerTarget& server, Progress& progress);

} // namespace vantorel::transfer
