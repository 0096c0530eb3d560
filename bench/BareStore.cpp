#include "BareStore.h"

#include "data/LinkFile.h"

#include <QUrl>

#include <libpq-fe.h>

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

namespace {

class BareSqlite : public BareStore {
public:
    explicit BareSqlite(QString path)
        : m_path(std::move(path))
    {
    }

    int runAll(const std::vector<std::pair<const char*, QStringList>>& statements) const override
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

private:
    QString m_path;
};

// The same statement as the server reads it: "$1, $2..." and its identity column for the order.
QByteArray forServer(const char* sql)
{
    QByteArray text;
    int next = 1;
    for (const char* c = sql; *c; ++c)
        text += *c == '?' ? '$' + QByteArray::number(next++) : QByteArray(1, *c);
    return text.replace("rowid", "StoredOrder");
}

class BarePostgres : public BareStore {
public:
    explicit BarePostgres(QByteArray uri)
        : m_uri(std::move(uri))
    {
    }

    int runAll(const std::vector<std::pair<const char*, QStringList>>& statements) const override
    {
        const std::unique_ptr<PGconn, decltype(&PQfinish)> connection(PQconnectdb(m_uri.constData()), &PQfinish);
        if (PQstatus(connection.get()) != CONNECTION_OK)
            throw std::runtime_error(PQerrorMessage(connection.get()));
        int rows = 0;
        for (const auto& [sql, values] : statements) {
            std::vector<QByteArray> texts;
            std::vector<const char*> pointers;
            for (const QString& value : values)
                texts.push_back(value.toUtf8());
            for (const QByteArray& text : texts)
                pointers.push_back(text.constData());
            const std::unique_ptr<PGresult, decltype(&PQclear)> result(
                PQexecParams(connection.get(), forServer(sql).constData(), int(pointers.size()), nullptr,
                             pointers.data(), nullptr, nullptr, 0),
                &PQclear);
            const ExecStatusType status = PQresultStatus(result.get());
            if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
                throw std::runtime_error(std::string(sql) + ": " + PQresultErrorMessage(result.get()));
            // Read every column as text, as a window that shows the record must.
            for (int row = 0; row < PQntuples(result.get()); ++row, ++rows) {
                for (int column = 0; column < PQnfields(result.get()); ++column)
                    PQgetvalue(result.get(), row, column);
            }
        }
        return rows;
    }

private:
    QByteArray m_uri;
};

} // namespace

std::unique_ptr<BareStore> BareStore::of(const QString& path)
{
    if (const std::optional<QByteArray> uri = vantorel::data::linkTarget(path))
        return std::make_unique<BarePostgres>(*uri);
    return std::make_unique<BareSqlite>(path);
}

} // namespace bench
