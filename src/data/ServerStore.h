#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

namespace vantorel::data {

class Connection;
class Database;

// The workstations' role when the setup tool is given none.
inline constexpr char kDefaultWorkstationRole[] = "vantorel_workstation";

// Where a new server store goes: the empty database `uri` names, reached as the shop's
// administrator, whose role then owns the tables; the workstations connect as `workstationRole`.
struct ServerTarget {
    QByteArray uri;
    QString workstationRole = QString::fromLatin1(kDefaultWorkstationRole);

    // The URI of a workstation's link file: the same database, as the workstation role.
    QByteArray workstationUri() const;
};

// Creates the tables and indexes on the empty server database and runs `fill`, all in one
// transaction, and grants the workstation role what the program needs: the server holds all of it
// or none. A database that holds any table already is refused. Does not touch Vantorel.mdb.
void createServerStore(const ServerTarget& target, const std::function<void(Database&)>& fill);

// Grants the role `workstation` (made when missing, able to log in, with no password: the
// administrator gives it one) what the program needs on the connected server and nothing more:
// reading and appending records. The tables stay the connected role's, so a workstation cannot
// change, delete, empty or drop them.
void grantWorkstation(Connection& server, const QString& workstation, const QString& attempt);

// A connection to the empty server database `uri` names, for filling it; a database that holds
// any table already is refused (StoreError).
std::unique_ptr<Connection> connectEmptyServer(const QByteArray& uri);

} // namespace vantorel::data
