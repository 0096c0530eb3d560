#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace vantorel::data {

class Database;

// Creates the tables and indexes on the empty server database `uri` names and runs `fill`, all in
// one transaction: the server holds all of it or none. A database that holds any table already
// is refused. Does not touch Vantorel.mdb.
void createServerStore(const QByteArray& uri, const std::function<void(Database&)>& fill);

// What a copy moved, table by table.
struct CopyCounts {
    qint64 people = 0;
    qint64 vehicles = 0;
    qint64 jobs = 0;
};

// Copies every record of the SQLite file at `path` (not a link file) to the empty server database `uri` in one
// transaction, in the order they were stored, then reads both back and compares every table's
// row count and every field (Manager as the yes/no it means); only when all agree is the copy
// committed. Other programs may go on reading the file meanwhile; the copy sees one moment of it.
CopyCounts copyToServer(const QString& path, const QByteArray& uri);

} // namespace vantorel::data
