#pragma once

#include <sqlite3.h>

#include <QString>
#include <QStringList>

namespace bench {

// The store without Vantorel: the SQLite C API on the same file, for the baseline of each action.
// Each call opens the file, runs one statement to its end reading every column as text, and
// closes it again, as one user action of the program does.
class BareStore {
public:
    explicit BareStore(QString path);

    // Runs `sql` with the texts bound in order; returns the rows read.
    int run(const char* sql, const QStringList& values = {}) const;
    // Several statements on one connection, as an action with two queries uses one.
    int runAll(const std::vector<std::pair<const char*, QStringList>>& statements) const;

private:
    QString m_path;
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
