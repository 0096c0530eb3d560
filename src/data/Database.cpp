#include "data/Database.h"

#include "data/FieldReader.h"
#include "data/StoreError.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>

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

Vehicle readVehicle(const FieldReader& fields)
{
    return Vehicle{fields.text(0), fields.text(1), fields.text(2), fields.text(3),
                   fields.text(4), fields.text(5), fields.text(6), fields.text(7)};
}

} // namespace

Database::Database()
    : m_connectionName(QStringLiteral("vantorel-%1").arg(reinterpret_cast<quintptr>(this)))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    // mode=rw opens an existing file only: the program never creates the database.
    db.setDatabaseName(QStringLiteral("file:%1?mode=rw").arg(QLatin1String(kDatabaseFileName)));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open()) {
        const QString reason = describe(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw StoreError(QStringLiteral("The database file Vantorel.mdb could not be opened in the "
                                        "folder %1.").arg(QDir::toNativeSeparators(QDir::currentPath())),
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

namespace {

// Reads the first row of a look-up, telling a failed read apart from an empty result.
bool firstRow(QSqlQuery& query, const QString& attempt)
{
    if (query.next())
        return true;
    if (query.lastError().isValid())
        throw StoreError(attempt, describe(query.lastError()));
    return false;
}

} // namespace

std::optional<Person> Database::firstPerson(const QString& idNumber)
{
    const QString attempt = QStringLiteral("The user could not be looked up in Vantorel.mdb.");
    QSqlQuery query = execute(QStringLiteral("select * from Person where IDNumber = ?"),
                              {textValue(idNumber)}, attempt);
    const FieldReader fields(query, QStringLiteral("Person"), kPersonFields);
    if (!firstRow(query, attempt))
        return std::nullopt;
    Person person{fields.text(0), fields.text(1), fields.text(2), fields.text(3), fields.text(4),
                  std::nullopt,   fields.isYes(6)};
    if (!fields.isNull(5))
        person.password = fields.text(5);
    return person;
}

std::optional<Vehicle> Database::firstVehicle(const QString& vehicleNumber)
{
    const QString attempt = QStringLiteral("The vehicle could not be looked up in Vantorel.mdb.");
    QSqlQuery query = execute(QStringLiteral("select * from Vehicle where VNumber = ?"),
                              {textValue(vehicleNumber)}, attempt);
    const FieldReader fields(query, QStringLiteral("Vehicle"), kVehicleFields);
    if (!firstRow(query, attempt))
        return std::nullopt;
    return readVehicle(fields);
}

std::optional<Job> Database::firstJob(const JobKey& key)
{
    const QString attempt = QStringLiteral("The maintenance job could not be looked up in Vantorel.mdb.");
    QSqlQuery query = execute(QStringLiteral("select * from Servicing where \"Date\" = ? and VNumber = ?"),
                              {textValue(key.date), textValue(key.vehicleNumber)}, attempt);
    const FieldReader fields(query, QStringLiteral("Servicing"), kJobFields);
    if (!firstRow(query, attempt))
        return std::nullopt;
    return Job{fields.text(0), fields.text(1), fields.text(2), fields.text(3),
               fields.text(4), fields.text(5), fields.text(6)};
}

QList<JobKey> Database::jobsOf(const QString& vehicleNumber)
{
    const QString attempt = QStringLiteral("The maintenance jobs could not be read from Vantorel.mdb.");
    QSqlQuery query = execute(QStringLiteral("select * from Servicing where VNumber = ?"),
                              {textValue(vehicleNumber)}, attempt);
    const FieldReader fields(query, QStringLiteral("Servicing"),
                             {QStringLiteral("Date"), QStringLiteral("VNumber")});
    QList<JobKey> jobs;
    while (query.next())
        jobs.append(JobKey{fields.text(0), fields.text(1)});
    if (query.lastError().isValid())
        throw StoreError(attempt, describe(query.lastError()));
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
