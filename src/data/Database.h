#pragma once

#include "data/Records.h"

#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <optional>

struct sqlite3;

namespace vantorel::data {

// The database file, addressed by its bare name in the working directory.
inline constexpr auto kDatabaseFileName = "Vantorel.mdb";

// One connection to Vantorel.mdb for the length of one user action: made where the action starts,
// released when it goes out of scope, so no connection or record set outlives the action.
// Every operation throws StoreError when the store fails; nothing is retried or cached.
class Database {
public:
    // Opens the existing file for reading and writing; a missing file is an error, never created.
    Database();
    // The same for the file at `path`, for making a new file under a name of its own.
    explicit Database(const QString& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Look-ups by key use the first record the store returns.
    std::optional<Person> firstPerson(const QString& idNumber);
    std::optional<Vehicle> firstVehicle(const QString& vehicleNumber);
    std::optional<Job> firstJob(const JobKey& key);

    // The jobs of a vehicle, in the store's own order.
    QList<JobKey> jobsOf(const QString& vehicleNumber);

    // Each append stores one whole record or nothing.
    void append(const Person& person);
    void append(const Vehicle& vehicle);
    void append(const Job& job);

    // Runs one statement with every value bound to a "?" placeholder. `attempt` says, in a user's
    // words, what failed when it fails. For the query builders of this folder only.
    QSqlQuery execute(const QString& sql, const QVariantList& values, const QString& attempt);

    // The SQLite connection underneath, for RowScan.
    sqlite3* handle() const;

private:
    QString m_connectionName;
};

} // namespace vantorel::data
