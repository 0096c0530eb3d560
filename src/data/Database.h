#pragma once

#include "data/Connection.h"
#include "data/Records.h"

#include <QList>
#include <QString>
#include <QVariantList>

#include <memory>
#include <optional>

namespace vantorel::data {

struct TableDescription;

// The store, addressed by its bare name in the working directory: the SQLite database file, or a
// link file naming the server (see LinkFile.h).
inline constexpr auto kDatabaseFileName = "Vantorel.mdb";

// One connection to the store for the length of one user action: made where the action starts,
// released when it goes out of scope, so no connection or record set outlives the action. The
// windows never learn which engine is underneath. Every operation throws StoreError when the
// store fails; nothing is retried or cached, and the next action connects afresh.
class Database {
public:
    // Opens Vantorel.mdb, or the server its link file names; a missing file is an error.
    Database();
    // The store at `path` (an SQLite file or a link file).
    explicit Database(const QString& path);
    // A store already connected, for the tools that make one.
    explicit Database(std::unique_ptr<Connection> connection);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Look-ups by key use the first record the store returns.
    std::optional<Person> firstPerson(const QString& idNumber);
    std::optional<Vehicle> firstVehicle(const QString& vehicleNumber);
    std::optional<Job> firstJob(const JobKey& key);

    // The jobs of a vehicle, in the store's own order.
    QList<JobKey> jobsOf(const QString& vehicleNumber);
    // The same jobs whole, each with its mechanic's name, read by one query.
    QList<HistoryJob> historyOf(const QString& vehicleNumber);

    // Each append stores one whole record or nothing. An append given an identity (a window's
    // AppendIdentity) stores its record at most once: repeated with the same identity after an
    // answer that never came, it finds the record stored and is done. A failure whose outcome is
    // unknown says so, and that doing it again is safe.
    void append(const Person& person, const QString& identity = {});
    void append(const Vehicle& vehicle, const QString& identity = {});
    void append(const Job& job, const QString& identity = {});

    // The engine underneath, for the statements of this folder (reports, schema, copying).
    Connection& connection() { return *m_connection; }

private:
    // "What failed in Vantorel.mdb." in a user's words, naming where the records are.
    QString attempt(const char* what) const;
    // `record`: what the messages call it ("the vehicle").
    void appendRecord(const TableDescription& table, const QVariantList& values, const QString& identity,
                      const char* record);

    std::unique_ptr<Connection> m_connection;
};

} // namespace vantorel::data
