#include "data/Schema.h"

#include "data/StoreError.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace vantorel::data {

namespace {

// Every field is text except the yes/no Manager flag (0 or 1). No key is unique: the program
// appends duplicates like any other record and a look-up uses the first.
const char* const kSchema[] = {
    "begin",
    "create table Person (IDNumber text, LName text, FName text, Address text, Telephone text, "
    "Password text, Manager integer)",
    "create table Vehicle (VNumber text, ContractNumber text, License text, Make text, Model text, "
    "Color text, Year text, DatePurchased text)",
    "create table Servicing (VNumber text, IDNumber text, Location text, \"Date\" text, "
    "StartTime text, StopTime text, Comments text)",
    "create index PersonByID on Person (IDNumber)",
    "create index VehicleByNumber on Vehicle (VNumber)",
    "create index ServicingByVehicleDate on Servicing (VNumber, \"Date\")",
    "commit",
};

void createTables(const QString& connectionName, const QString& path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(path);
    if (!db.open())
        throw StoreError(QStringLiteral("Could not create %1.").arg(path), db.lastError().text());
    QSqlQuery query(db);
    for (const char* statement : kSchema) {
        if (!query.exec(QLatin1String(statement)))
            throw StoreError(QStringLiteral("Could not create the tables in %1.").arg(path),
                             query.lastError().text());
    }
}

} // namespace

void createDatabaseFile(const QString& path)
{
    if (QFileInfo::exists(path))
        throw StoreError(QStringLiteral("%1 exists already.").arg(path), QString());

    const QString connectionName = QStringLiteral("vantorel-create-%1").arg(path);
    try {
        createTables(connectionName, path);
    } catch (const StoreError&) {
        QSqlDatabase::removeDatabase(connectionName);
        QFile::remove(path); // a half-made file would pass for a database later
        throw;
    }
    QSqlDatabase::removeDatabase(connectionName);
}

} // namespace vantorel::data
