#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace vantorel::data {
class Connection;
}

namespace vantorel::transfer {

class Progress;
class RecordSource;

// What moving one table did.
struct TableSummary {
    QString table;
    qint64 read = 0;
    qint64 stored = 0;
    qint64 compared = 0;
    qint64 passwordsHashed = 0;
    qint64 hashingMilliseconds = 0; // hashing them and verifying the hashes

    QStringList extraColumns;
};

struct TransferSummary {
    QString source;
    QList<TableSummary> tables;
    QStringList extraTables;
    qint64 milliseconds = 0;
};

// Appends every record of every table `source` brings to the store behind `destination`, after
// what it holds, inside the transaction the caller has begun there; then reads the source again
// and the appended records back and compares every record field by field. Typed passwords are
// stored as argon2id hashes (a value already in a hash format is kept as it is) and compared by
// verifying them. Any difference, or any failure, is thrown as a StoreError before the caller
// commits, so the destination never holds a part of it.
TransferSummary transferRecords(RecordSource& source, data::Connection& destination, Progress& progress);

// The summary as the setup tool prints it: a line per table, what was left, the time taken.
QString summaryText(const TransferSummary& summary);

} // namespace vantorel::transfer
