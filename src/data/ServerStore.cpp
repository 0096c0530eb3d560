#include "data/ServerStore.h"

#include "data/Database.h"
#include "data/LinkFile.h"
#include "data/PostgresConnection.h"
#include "data/Schema.h"
#include "data/StoreError.h"
#include "data/Tables.h"

#include <QRegularExpression>

namespace vantorel::data {

std::unique_ptr<Connection> connectEmptyServer(const QByteArray& uri)
{
    checkLinkTarget(uri);
    auto server = std::make_unique<PostgresConnection>(uri);
    const auto tables = server->select(
        QStringLiteral("select table_name from information_schema.tables where table_schema = current_schema()"), {},
        QStringLiteral("Could not look into %1.").arg(server->place()));
    if (tables->next())
        throw StoreError(QStringLiteral("%1 is not empty: it holds the table %2 already. Give an empty database.")
                             .arg(server->place(), tables->text(0)),
                         QString());
    return server;
}

void createServerStore(const ServerTarget& target, const std::function<void(Database&)>& fill)
{
    Database db(connectEmptyServer(target.uri));
    fillNewStore(db, db.connection().place(), [&](Database& filled) {
        grantWorkstation(filled.connection(), target.workstationRole,
                         QStringLiteral("Could not grant the workstations their rights in %1.").arg(filled.connection().place()));
        if (fill)
            fill(filled);
    });
}

void grantWorkstation(Connection& server, const QString& workstation, const QString& attempt)
{
    // A role's name goes into the statements themselves (no statement takes it as a value), so
    // only a plain identifier is accepted, and quoted.
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,62}$"));
    if (!plainName.match(workstation).hasMatch())
        throw StoreError(QStringLiteral("The workstation role \"%1\" is not a plain name: letters, digits and _, "
                                        "not beginning with a digit.").arg(workstation),
                         QString());
    const QString role = QStringLiteral("\"%1\"").arg(workstation);
    if (!server.select(QStringLiteral("select 1 from pg_roles where rolname = ?"), {workstation}, attempt)->next())
        server.run(QStringLiteral("create role %1 login").arg(role), {}, attempt);
    QStringList tables;
    for (const TableDescription* table : kAllTables)
        tables << table->sqlName();
    server.run(QStringLiteral("grant select, insert on %1 to %2").arg(tables.join(QStringLiteral(", ")), role), {}, attempt);
}

QByteArray ServerTarget::workstationUri() const
{
    return uriAsRole(uri, workstationRole);
}

} // namespace vantorel::data
