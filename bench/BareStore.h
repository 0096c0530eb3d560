#pragma once

#include <sqlite3.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace bench {

// The store without Vantorel, for the baseline of each action: each call connects afresh, runs
// its statements to their end reading every column as text, and disconnects again, as one user
// action of the program does. Statements are written for SQLite ("?", "rowid").
class BareStore {
public:
    virtual ~BareStore() = default;

    // Runs `sql` with the texts bound in order; returns the rows read.
    int run(const char* sql, const QStringList& values = {}) const { return runAll({{sql, values}}); }
    // Several statements on one connection, as an action with two queries uses one.
    virtual int runAll(const std::vector<std::pair<const char*, QStringList>>& statements) const = 0;

    // The bare counterpart of the store Vantorel.mdb at `path` is: the SQLite C API on the same
    // file, or libpq on the server its link file names.
    static std::unique_ptr<BareStore> of(const QString& path);
};

// Exposes the handle for the generator, which fills the file in one transaction.
class Connection {
public:
    explicit Connection(const QString& path);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* handle() const { return m_db; }
    void exec(const char* sql) const;
    // Steps one prepared statement to its end with the texts bound; returns the rows read.
    int step(sqlite3_stmt* statement, const QStringList& values) const;
    sqlite3_stmt* prepare(const char* sql) const;

private:
    sqlite3* m_db = nullptr;
};

} // namespace bench
