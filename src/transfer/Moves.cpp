#include "transfer/Moves.h"

#include "data/Connection.h"
#include "data/Database.h"
#include "data/LinkFile.h"
#include "data/Schema.h"
#include "data/ServerStore.h"
#include "data/StoreError.h"
#include "transfer/CsvSource.h"
#include "transfer/JetSource.h"
#include "transfer/StoreSource.h"

#include <QFileInfo>

namespace vantorel::transfer {

using data::Existing;
using data::StoreError;

namespace {

// A new store's tables, the records and then the indexes (records go in faster before them), all
// in one transaction that commits only when the copy compared equal.
TransferSummary fillNewStore(data::Connection& store, RecordSource& source, Progress& progress,
                             const std::function<void(const QString& attempt)>& grant = {})
{
    const QString attempt = QStringLiteral("Could not create the tables in %1.").arg(store.place());
    store.run(QStringLiteral("begin"), {}, attempt);
    data::createTablesWithoutIndexes(store, attempt);
    TransferSummary summary = transferRecords(source, store, progress);
    data::createIndexes(store, attempt);
    if (grant)
        grant(attempt);
    store.run(QStringLiteral("commit"), {}, attempt);
    return summary;
}

// Fills a new file beside `path` and hands it to `putInPlace` when it is finished.
TransferSummary buildFile(const QString& path, RecordSource& source, Progress& progress,
                          const std::function<void(const QString& built)>& putInPlace)
{
    data::BuildingFile building(path);
    TransferSummary summary;
    {
        data::Database file(building.name());
        summary = fillNewStore(file.connection(), source, progress);
    }
    putInPlace(building.name());
    building.keep();
    return summary;
}

TransferSummary fillServer(const data::ServerTarget& target, RecordSource& source, Progress& progress)
{
    const auto server = data::connectEmptyServer(target.uri);
    return fillNewStore(*server, source, progress, [&](const QString& attempt) {
        data::grantWorkstation(*server, target.workstationRole, attempt);
    });
}

bool isSameFile(const QString& one, const QString& other)
{
    return QFileInfo(one).canonicalFilePath() == QFileInfo(other).canonicalFilePath();
}

void refuseNonJet(const QString& jetPath, bool inPlace)
{
    if (data::isJetFile(jetPath))
        return;
    throw StoreError(inPlace ? QStringLiteral("%1 is not a database of the earlier program (a Jet file): there is "
                                              "nothing to convert.").arg(jetPath)
                             : QStringLiteral("%1 is not a Jet database, or cannot be read.").arg(jetPath),
                     QString());
}

} // namespace

TransferSummary importJetFile(const QString& jetPath, const QString& path, const std::optional<data::ServerTarget>& server,
                              Progress& progress)
{
    const bool inPlace = QFileInfo::exists(path) && isSameFile(jetPath, path);
    const QString kept = path + QStringLiteral(".before-import");
    refuseNonJet(jetPath, inPlace);
    // Refused before the records are read in vain.
    data::refuseExisting(inPlace ? kept : path, Existing::Refuse);
    if (server)
        data::checkLinkTarget(server->uri);
    JetSource source(jetPath);
    if (server) {
        TransferSummary summary = fillServer(*server, source, progress);
        if (inPlace)
            data::replaceWithLinkFile(path, kept, server->workstationUri());
        else
            data::writeLinkFile(path, server->workstationUri());
        return summary;
    }
    return buildFile(path, source, progress, [&](const QString& built) {
        if (inPlace)
            data::keepAndReplace(path, kept, built);
        else
            data::putInPlace(built, path, Existing::Refuse);
    });
}

TransferSummary importCsvFile(const data::TableDescription& table, const QString& csvPath, const QString& path,
                              Progress& progress)
{
    data::Database store(path);
    CsvSource source(table, csvPath);
    data::Connection& connection = store.connection();
    const QString attempt = QStringLiteral("Could not store the records in %1.").arg(connection.place());
    connection.run(connection.beginAlone(), {}, attempt);
    TransferSummary summary = transferRecords(source, connection, progress);
    connection.run(QStringLiteral("commit"), {}, attempt);
    return summary;
}

TransferSummary copyToServer(const QString& path, const data::ServerTarget& server, Progress& progress)
{
    const QString kept = path + QStringLiteral(".before-server");
    if (data::linkTarget(path))
        throw StoreError(QStringLiteral("%1 is a link file already: its records are on a server.").arg(path), QString());
    data::refuseExisting(kept, Existing::Refuse);
    data::Database file(path);
    // One read transaction: the copy sees the file as it was at one moment, while others go on.
    file.connection().run(QStringLiteral("begin"), {}, QStringLiteral("Could not read %1.").arg(path));
    StoreSource source(file.connection());
    TransferSummary summary = fillServer(server, source, progress);
    data::replaceWithLinkFile(path, kept, server.workstationUri());
    return summary;
}

} // namespace vantorel::transfer
