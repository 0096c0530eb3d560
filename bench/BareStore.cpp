#include "BareStore.h"

#include <QUrl>

#include <stdexcept>
#include <string>

namespace bench {

Connection::Connection(const QString& path)
{
    // Opened as Qt's driver opens the program's store: by URI, read-write, without SQLite's own
    // mutexes (one thread uses a connection), so both sides pay the same per-call costs.
    const QByteArray uri = "file:" + QUrl::toPercentEncoding(path, "/") + "?mode=rw";
    if (sqlite3_open_v2(uri.constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI,
                        nullptr)
        != SQLITE_OK)
        throw std::runtime_error("cannot open " + path.toStdString());
    sqlite3_busy_timeout(m_db, 5000);
}

Connection::~Connection()
{
    sqlite3_close(m_db);
}

void Connection::exec(const char* sql) const
{
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw std::runtime_error(std::string(sql) + ": " + message);
    }
}

sqlite3_stmt* Connection::prepare(const char* sql) const
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sql) + ": " + sqlite3_errmsg(m_db));
    return statement;
}

int Connection::step(sqlite3_stmt* statement, const QStringList& values) const
{
    sqlite3_reset(statement);
    for (int i = 0; i < values.size(); ++i) {
        const QByteArray text = values.at(i).toUtf8();
        sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    int rows = 0;
    int status;
    while ((status = sqlite3_step(statement)) == SQLITE_ROW) {
        // Read every column as text, as a window that shows the record must.
        for (int column = 0; column < sqlite3_column_count(statement); ++column)
            sqlite3_column_text(statement, column);
        ++rows;
    }
    if (status != SQLITE_DONE)
        throw std::runtime_error(std::string("step: ") + sqlite3_errmsg(m_db));
    return rows;
}

BareStore::BareStore(QString path)
    : m_path(std::move(path))
{
}

int BareStore::run(const char* sql, const QStringList& values) const
{
    return runAll({{sql, values}});
}

int BareStore::runAll(const std::vector<std::pair<const char*, QStringList>>& statements) const
{
    const Connection connection(m_path);
    int rows = 0;
    for (const auto& [sql, values] : statements) {
        sqlite3_stmt* statement = connection.prepare(sql);
        rows += connection.step(statement, values);
        sqlite3_finalize(statement);
    }
    return rows;
}

} // namespace bench
