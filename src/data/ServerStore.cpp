#include "data/ServerStore.h"

#include "data/Database.h"
#include "data/LinkFile.h"
#include "data/PostgresConnection.h"
#include "data/Schema.h"
#include "data/StoreError.h"

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

void createServerStore(const QByteArray& uri, const std::function<void(Database&)>& fill)
{
    Database db(connectEmptyServer(uri));
    fillNewStore(db, db.connection().place(), fill);
}

} // namespace vantorel::data
