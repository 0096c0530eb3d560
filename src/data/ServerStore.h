#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

namespace vantorel::data {

class Connection;
class Database;

// Creates the tables and indexes on the empty server database `uri` names and runs `fill`, all in
// one transaction: the server holds all of it or none. A database that holds any table already
// is refused. Does not touch Vantorel.mdb.
void createServerStore(const QByteArray& uri, const std::function<void(Database&)>& fill);

// A connection to the empty server database `uri` names, for filling it; a database that holds
// any table already is refused (StoreError).
std::unique_ptr<Connection> connectEmptyServer(const QByteArray& uri);

} // namespace vantorel::data
