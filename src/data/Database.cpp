#include "data/Database.h"

#include "data/RowScan.h"
#include "data/StoredValues.h"
#include "data/StoreError.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>

#include <sqlite3.h>

namespace vantorel::data {

namespace {

// A lock held by another program delays an action by up to this long before it fails.
constexpr int kBusyTimeoutMs = 5000;

const QStringList kPersonFields = {QStringLiteral("IDNumber"), QStringLiteral("LName"),
                                   QStringLiteral("FName"),    QStringLiteral("Address"),
                                   QStringLiteral("Telephone"), QStringLiteral("Password"),
                                   QStringLiteral("Manager")};
const QStringList kVehicleFields = {QStringLiteral("VNumber"), QStringLiteral("ContractNumber"),
                                    QStringLiteral("License"), QStringLiteral("Make"),
                                    QStringLiteral("Model"),   QStringLiteral("Color"),
                                    QStringLiteral("Year"),    QStringLiteral("DatePurchased")};
const QStringList kJobFields = {QStringLiteral("VNumber"),   QStringLiteral("IDNumber"),
                                QStringLiteral("Location"),  QStringLiteral("Date"),
                                QStringLiteral("StartTime"), QStringLiteral("StopTime"),
                                QStringLiteral("Comments")};

QString describe(const QSqlError& error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

QSqlDatabase connection(const QString& name)
{
    return QSqlDatabase::database(name, false);
}

// The positions of `names` in the result of `scan`, in the order given.
QVector<int> fieldsOf(const RowScan& scan, const QString& table, const QStringList& names)
{
    QVector<int> fields;
    for (const QString& name : names)
        fields.append(scan.field(table, name));
    return fields;
}

} // namespace

Database::Database()
    : Database(QString::fromLatin1(kDatabaseFileName))
{
}

Database::Database(const QString& path)
    : m_connectionName(QStringLiteral("vantorel-%1").arg(reinterpret_cast<quintptr>(this)))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    // mode=rw opens an existing file only: the program never creates the database.
    db.setDatabaseName(QStringLiteral("file:%1?mode=rw")
                           .arg(QString::fromLatin1(QUrl::toPercentEncoding(path, "/"))));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open()) {
        const QString reason = describe(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        const QFileInfo file(path);
        throw StoreError(QStringLiteral("The database file %1 could not be opened in the folder %2.")
                             .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath())),
                         reason);
    }
}

Database::~Database()
{
    {
        QSqlDatabase db = connection(m_connectionName);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlQuery Database::execute(const QString& sql, const QVariantList& values, const QString& attempt)
{
    QSqlQuery query(connection(m_connectionName));
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw StoreError(attempt, describe(query.lastError()));
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        throw StoreError(attempt, describe(query.lastError()));
    return query;
}

sqlite3* Database::handle() const
{
    const QVariant handle = connection(m_connectionName).driver()->handle();
    return *static_cast<sqlite3* const*>(handle.constData());
}

std::optional<Person> Database::firstPerson(const QString& idNumber)
{
    RowScan scan(*this, QStringLiteral("select * from Person where IDNumber = ?"), {textValue(idNumber)},
                 QStringLiteral("The user could not be looked up in Vantorel.mdb."));
    const QVector<int> f = fieldsOf(scan, QStringLiteral("Person"), kPersonFields);
    if (!scan.next())
        return std::nullopt;
    Person person{scan.text(f[0]), scan.text(f[1]), scan.text(f[2]), scan.text(f[3]),
                  scan.text(f[4]), std::nullopt,    scan.isYes(f[6])};
    if (!scan.isNull(f[5]))
        person.password = scan.text(f[5]);
    return person;
}

std::optional<Vehicle> Database::firstVehicle(const QString& vehicleNumber)
{
    RowScan scan(*this, QStringLiteral("select * from Vehicle where VNumber = ?"), {textValue(vehicleNumber)},
                 QStringLiteral("The vehicle could not be looked up in Vantorel.mdb."));
    const QVector<int> f = fieldsOf(scan, QStringLiteral("Vehicle"), kVehicleFields);
    if (!scan.next())
        return std::nullopt;
    return Vehicle{scan.text(f[0]), scan.text(f[1]), scan.text(f[2]), scan.text(f[3]),
                   scan.text(f[4]), scan.text(f[5]), scan.text(f[6]), scan.text(f[7])};
}

std::optional<Job> Database::firstJob(const JobKey& key)
{
    // The values are bound as they were read, and "is" also matches a stored Null, so a listed
    // job is found again whatever kind of value another program stored in these fields.
    RowScan scan(*this, QStringLiteral("select * from Servicing where \"Date\" is ? and VNumber is ?"),
                 {QVariant::fromValue(key.storedDate), QVariant::fromValue(key.storedVehicleNumber)},
                 QStringLiteral("The maintenance job could not be looked up in Vantorel.mdb."));
    const QVector<int> f = fieldsOf(scan, QStringLiteral("Servicing"), kJobFields);
    if (!scan.next())
        return std::nullopt;
    return Job{scan.text(f[0]), scan.text(f[1]), scan.text(f[2]), scan.text(f[3]),
               scan.text(f[4]), scan.text(f[5]), scan.text(f[6])};
}

QList<JobKey> Database::jobsOf(const QString& vehicleNumber)
{
    // In the order the jobs were stored, whatever order the index that finds them keeps.
    RowScan scan(*this, QStringLiteral("select * from Servicing where VNumber = ? order by rowid"),
                 {textValue(vehicleNumber)},
                 QStringLiteral("The maintenance jobs could not be read from Vantorel.mdb."));
    const int date = scan.field(QStringLiteral("Servicing"), QStringLiteral("Date"));
    const int vehicle = scan.field(QStringLiteral("Servicing"), QStringLiteral("VNumber"));
    QList<JobKey> jobs;
    while (scan.next()) {
        JobKey key{{}, {}, scan.stored(date), scan.stored(vehicle)};
        key.date = scan.text(date);
        key.vehicleNumber = scan.text(vehicle);
        jobs.append(key);
    }
    return jobs;
}

void Database::append(const Person& person)
{
    execute(QStringLiteral("insert into Person (IDNumber, LName, FName, Address, Telephone, Password, "
                           "Manager) values (?, ?, ?, ?, ?, ?, ?)"),
            {textValue(person.idNumber), textValue(person.lastName), textValue(person.firstName),
             textValue(person.address), textValue(person.telephone),
             person.password ? textValue(*person.password) : QVariant(),
             person.manager ? 1 : 0},
            QStringLiteral("The new user could not be saved in Vantorel.mdb."));
}

void Database::append(const Vehicle& vehicle)
{
    execute(QStringLiteral("insert into Vehicle (VNumber, ContractNumber, License, Make, Model, Color, "
                           "Year, DatePurchased) values (?, ?, ?, ?, ?, ?, ?, ?)"),
            {textValue(vehicle.vehicleNumber), textValue(vehicle.contractNumber),
             textValue(vehicle.license), textValue(vehicle.make), textValue(vehicle.model),
             textValue(vehicle.color), textValue(vehicle.year), textValue(vehicle.datePurchased)},
            QStringLiteral("The vehicle could not be saved in Vantorel.mdb."));
}

void Database::append(const Job& job)
{
    execute(QStringLiteral("insert into Servicing (VNumber, IDNumber, Location, \"Date\", StartTime, "
                           "StopTime, Comments) values (?, ?, ?, ?, ?, ?, ?)"),
            {textValue(job.vehicleNumber), textValue(job.mechanicId), textValue(job.location),
             textValue(job.date), textValue(job.startTime), textValue(job.stopTime),
             textValue(job.comments)},
            QStringLiteral("The maintenance job could not be saved in Vantorel.mdb."));
}

} // namespace vantorel::data
