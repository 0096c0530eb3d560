#include "data/PostgresConnection.h"

#include "data/StoreError.h"
#include "data/Tables.h"
#include "data/TextColumn.h"

#include <libpq-fe.h>

#include <cerrno>
#include <memory>
#include <poll.h>
#include <vector>

namespace vantorel::data {

namespace {

// Type identities of PostgreSQL's number types, as a result reports them.
constexpr Oid kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701;

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

QString serverText(const char* text)
{
    return QString::fromUtf8(text).trimmed();
}

// How long an action waits without a byte from the server before it gives the server up.
constexpr int kSilenceLimitMs = 10000;

// The value of one of the connection's settings as libpq resolved it (service files and defaults
// included), or empty.
QString setting(PGconn* conn, const char* keyword)
{
    const std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(PQconninfo(conn), &PQconninfoFree);
    for (const PQconninfoOption* option = options.get(); option && option->keyword; ++option) {
        if (qstrcmp(option->keyword, keyword) == 0)
            return serverText(option->val);
    }
    return {};
}

QString describeHost(const QString& host, const QString& port)
{
    if (host.isEmpty() || host.startsWith(QLatin1Char('/')))
        return QStringLiteral("this computer (%1)").arg(host.isEmpty() ? QStringLiteral("local socket") : host);
    return port.isEmpty() ? host : QStringLiteral("%1:%2").arg(host, port);
}

// "the database NAME on the server HOST:PORT" (or on each of several servers the link names, in
// their order), from what libpq resolved; never the password.
QString describePlace(PGconn* conn)
{
    const QStringList hosts = setting(conn, "host").split(QLatin1Char(','));
    const QStringList ports = setting(conn, "port").split(QLatin1Char(','));
    QStringList servers;
    for (qsizetype i = 0; i < hosts.size(); ++i)
        servers << describeHost(hosts.at(i).trimmed(), ports.value(ports.size() == 1 ? 0 : i).trimmed());
    const QString database = serverText(PQdb(conn));
    if (servers.size() == 1)
        return QStringLiteral("the database %1 on the server %2").arg(database, servers.first());
    return QStringLiteral("the database %1 on the servers %2").arg(database, servers.join(QStringLiteral(", ")));
}

// What an error result says about an append; an answer that never came leaves its outcome unknown.
StoreError::Kind kindOf(PGconn* conn, const PGresult* result)
{
    if (!result || PQstatus(conn) == CONNECTION_BAD)
        return StoreError::Kind::OutcomeUnknown;
    const QByteArray state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    const QByteArray about = QByteArray(PQresultErrorField(result, PG_DIAG_CONSTRAINT_NAME))
        + PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
    const bool aboutKey = about.toLower().contains(QByteArray(kAppendKeyColumn).toLower());
    if (state == "23505" && aboutKey)
        return StoreError::Kind::AlreadyStored;
    if (state == "42703" && aboutKey)
        return StoreError::Kind::NoAppendKey;
    return StoreError::Kind::Failed;
}

// Waits for the answer to what was sent, reading it as it comes; the server's silence past the
// limit, or a connection lost meanwhile, ends the wait. The last result is kept, an error first.
Result awaitResult(PGconn* conn, const QString& attempt)
{
    Result kept(nullptr, &PQclear);
    while (true) {
        while (PQisBusy(conn)) {
            pollfd ready{PQsocket(conn), POLLIN, 0};
            const int polled = poll(&ready, 1, kSilenceLimitMs);
            if (polled < 0 && errno == EINTR)
                continue;
            if (polled == 0)
                throw StoreError(attempt,
                                 QStringLiteral("The server sent nothing for %1 seconds, so the action was given up.")
                                     .arg(kSilenceLimitMs / 1000),
                                 StoreError::Kind::OutcomeUnknown);
            if (polled < 0 || !PQconsumeInput(conn))
                throw StoreError(attempt, serverText(PQerrorMessage(conn)), StoreError::Kind::OutcomeUnknown);
        }
        Result next(PQgetResult(conn), &PQclear);
        if (!next)
            return kept;
        const ExecStatusType status = PQresultStatus(next.get());
        // COPY hands over to its own calls at once; an error is kept over what follows it.
        if (status == PGRES_COPY_IN)
            return next;
        if (!kept || PQresultStatus(kept.get()) != PGRES_FATAL_ERROR)
            kept = std::move(next);
    }
}

// The values in the text form the server reads; std::nullopt stands for SQL null.
std::optional<QByteArray> textOf(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<StoredValue>()) {
        const StoredValue stored = value.value<StoredValue>();
        switch (stored.kind) {
        case StoredValue::Kind::Null:
            return std::nullopt;
        case StoredValue::Kind::Real:
            return QByteArray::number(stored.value.toDouble(), 'g', 17);
        default:
            return stored.value.toByteArray();
        }
    }
    if (value.isNull())
        return std::nullopt;
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return QByteArray::number(value.toLongLong());
    default:
        return value.toString().toUtf8();
    }
}

// The statement with "?" numbered as the server wants it: $1, $2...
QByteArray numbered(const QString& sql)
{
    QByteArray text;
    int next = 1;
    for (const char c : sql.toUtf8()) {
        if (c == '?')
            text += '$' + QByteArray::number(next++);
        else
            text += c;
    }
    return text;
}

Result execute(PGconn* conn, const QString& sql, const QVariantList& values, const QString& attempt)
{
    std::vector<std::optional<QByteArray>> texts;
    std::vector<const char*> pointers;
    std::vector<int> lengths;
    texts.reserve(size_t(values.size()));
    for (const QVariant& value : values)
        texts.push_back(textOf(value));
    for (const auto& text : texts) {
        pointers.push_back(text ? text->constData() : nullptr);
        lengths.push_back(text ? int(text->size()) : 0);
    }
    // A statement without values goes as it is, so that it may hold several ("close c; commit").
    const bool sent = values.isEmpty() ? PQsendQuery(conn, sql.toUtf8().constData())
                                       : PQsendQueryParams(conn, numbered(sql).constData(), int(values.size()), nullptr,
                                                           pointers.data(), lengths.data(), nullptr, 0);
    if (!sent)
        throw StoreError(attempt, serverText(PQerrorMessage(conn)), kindOf(conn, nullptr));
    Result result = awaitResult(conn, attempt);
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK && status != PGRES_COPY_IN) {
        const char* reason = result ? PQresultErrorMessage(result.get()) : PQerrorMessage(conn);
        throw StoreError(attempt, serverText(*reason ? reason : PQerrorMessage(conn)), kindOf(conn, result.get()));
    }
    return result;
}

// How many rows a listing takes from the server at a time.
constexpr int kBatchRows = 10000;

// The rows of a query, taken from a cursor a batch at a time: a listing of a million records
// holds one batch of the server's answer in memory, never all of it. The cursor lives in the
// connection's transaction, or in one of its own that ends with the scan. Any other statement
// (one that only reports what it did) runs as it is.
class PostgresRows : public RowScan {
public:
    PostgresRows(PGconn* conn, const QByteArray& cursor, const QString& sql, const QVariantList& values,
                 const QString& attempt, QString place)
        : m_conn(conn)
        , m_cursor(sql.trimmed().startsWith(QLatin1String("select"), Qt::CaseInsensitive) ? cursor : QByteArray())
        , m_attempt(attempt)
        , m_ownTransaction(!m_cursor.isEmpty() && PQtransactionStatus(conn) == PQTRANS_IDLE)
        , m_place(std::move(place))
    {
        if (m_cursor.isEmpty()) {
            take(execute(m_conn, sql, values, m_attempt));
            return;
        }
        try {
            if (m_ownTransaction)
                execute(m_conn, QStringLiteral("begin"), {}, m_attempt);
            execute(m_conn, QStringLiteral("declare %1 no scroll cursor for %2").arg(QString::fromLatin1(m_cursor), sql),
                    values, m_attempt);
            fetch();
        } catch (...) {
            finish();
            throw;
        }
    }

    ~PostgresRows() override
    {
        if (!m_cursor.isEmpty())
            finish();
    }
    PostgresRows(const PostgresRows&) = delete;
    PostgresRows& operator=(const PostgresRows&) = delete;

    int field(const QString& table, const QString& name) const override
    {
        for (int column = 0; column < fieldCount(); ++column) {
            if (name.compare(QString::fromUtf8(PQfname(m_r, column)), Qt::CaseInsensitive) == 0)
                return column;
        }
        throw StoreError(QStringLiteral("The table %1 in %2 has no field %3.").arg(table, m_place, name), QString());
    }

    int fieldCount() const override { return PQnfields(m_r); }

    bool next() override
    {
        if (++m_row < m_rows)
            return true;
        if (m_cursor.isEmpty() || m_rows < kBatchRows)
            return false;
        fetch();
        return ++m_row < m_rows;
    }

    QString text(int field) const override
    {
        return QString::fromUtf8(PQgetvalue(m_r, m_row, field), PQgetlength(m_r, m_row, field));
    }

    void appendText(int field, TextColumn& column) const override
    {
        column.append(PQgetvalue(m_r, m_row, field), PQgetlength(m_r, m_row, field));
    }

    std::string_view utf8(int field) const override
    {
        return {PQgetvalue(m_r, m_row, field), size_t(PQgetlength(m_r, m_row, field))};
    }

    bool isNull(int field) const override { return PQgetisnull(m_r, m_row, field); }

    StoredValue stored(int field) const override
    {
        if (isNull(field))
            return {};
        const QByteArray bytes(PQgetvalue(m_r, m_row, field), PQgetlength(m_r, m_row, field));
        switch (PQftype(m_r, field)) {
        case kInt2:
        case kInt4:
        case kInt8:
            return {StoredValue::Kind::Integer, bytes.toLongLong()};
        case kFloat4:
        case kFloat8:
            return {StoredValue::Kind::Real, bytes.toDouble()};
        default:
            return {StoredValue::Kind::Text, bytes};
        }
    }

private:
    void fetch()
    {
        take(execute(m_conn, QStringLiteral("fetch forward %1 from %2").arg(kBatchRows).arg(QString::fromLatin1(m_cursor)),
                     {}, m_attempt));
    }

    void take(Result result)
    {
        m_result = std::move(result);
        m_r = m_result.get();
        m_rows = PQntuples(m_r);
        m_row = -1;
    }

    // Ends what the scan began; a transaction that failed is rolled back. Nothing is thrown: the
    // rows read stand, and the connection ends with the action in any case.
    void finish()
    {
        const bool failed = PQtransactionStatus(m_conn) == PQTRANS_INERROR;
        const QByteArray close = "close " + m_cursor;
        const QByteArray ending = m_ownTransaction ? (failed ? "rollback" : close + "; commit") : (failed ? "" : close);
        if (ending.isEmpty())
            return;
        try {
            execute(m_conn, QString::fromLatin1(ending), {}, m_attempt);
        } catch (const StoreError&) {
            // The connection failed with the scan; it ends with the action.
        }
    }

    PGconn* m_conn;
    QByteArray m_cursor;
    QString m_attempt;
    bool m_ownTransaction;
    QString m_place;
    Result m_result{nullptr, &PQclear};
    PGresult* m_r = nullptr;
    int m_rows = 0;
    int m_row = -1;
};

// Records sent as one COPY in the server's text form, a buffer of about a megabyte at a time.
class PostgresCopy : public BulkAppend {
public:
    PostgresCopy(PGconn* conn, const TableDescription& table, const QString& attempt)
        : m_conn(conn)
        , m_attempt(attempt)
    {
        QStringList names;
        for (const FieldDescription& field : table.fields)
            names << field.sqlName();
        execute(m_conn, QStringLiteral("copy %1 (%2) from stdin").arg(table.sqlName(), names.join(QStringLiteral(", "))),
                {}, m_attempt);
        m_copying = true;
    }

    ~PostgresCopy() override
    {
        // Abandoned by a failure: the server ends the copy with an error and the transaction is
        // rolled back with the connection.
        if (m_copying) {
            PQputCopyEnd(m_conn, "abandoned");
            drainResults();
        }
    }
    PostgresCopy(const PostgresCopy&) = delete;
    PostgresCopy& operator=(const PostgresCopy&) = delete;

    void append(const BulkRecord& record) override
    {
        for (size_t i = 0; i < record.size(); ++i) {
            if (i > 0)
                m_buffer += '\t';
            appendField(record[i]);
        }
        m_buffer += '\n';
        if (m_buffer.size() >= kBufferBytes)
            send();
    }

    void finish() override
    {
        send();
        m_copying = false;
        if (PQputCopyEnd(m_conn, nullptr) != 1)
            fail();
        if (const QString failure = drainResults(); !failure.isEmpty())
            throw StoreError(m_attempt, failure);
    }

private:
    static constexpr qsizetype kBufferBytes = 1 << 20;

    void appendField(const BulkField& field)
    {
        if (field.isNull) {
            m_buffer += "\\N";
            return;
        }
        // The text form's own characters are escaped with a backslash; everything else goes as it is.
        for (const char c : field.text) {
            switch (c) {
            case '\\': m_buffer += "\\\\"; break;
            case '\t': m_buffer += "\\t"; break;
            case '\n': m_buffer += "\\n"; break;
            case '\r': m_buffer += "\\r"; break;
            default: m_buffer += c;
            }
        }
    }

    void send()
    {
        if (!m_buffer.isEmpty() && PQputCopyData(m_conn, m_buffer.constData(), int(m_buffer.size())) != 1)
            fail();
        m_buffer.clear();
    }

    // Reads the copy's outcome; the server's message when it failed.
    QString drainResults()
    {
        QString failure;
        while (PGresult* result = PQgetResult(m_conn)) {
            if (PQresultStatus(result) != PGRES_COMMAND_OK && failure.isEmpty())
                failure = serverText(PQresultErrorMessage(result));
            PQclear(result);
        }
        return failure;
    }

    [[noreturn]] void fail() const
    {
        throw StoreError(m_attempt, serverText(PQerrorMessage(m_conn)), StoreError::Kind::OutcomeUnknown);
    }

    PGconn* m_conn;
    QString m_attempt;
    QByteArray m_buffer;
    bool m_copying = false;
};

} // namespace

PostgresConnection::PostgresConnection(const QByteArray& uri)
{
    // Later entries override earlier ones: the link file may set its own timeouts, never the
    // encoding every text is read and written in. Data sent and not acknowledged for 10 s, or an
    // idle connection that answers no keepalive for about 11 s, ends the connection, where TCP
    // alone would wait minutes; a wait for an answer ends after 10 s without a byte (awaitResult).
    // Every query is read through a cursor and read to its end, so the server is told to plan
    // for all rows, not for the first tenth (its default for cursors, which would walk a whole
    // table in stored order to find one vehicle's jobs).
    const char* const keywords[] = {"connect_timeout", "tcp_user_timeout", "keepalives_idle", "keepalives_interval",
                                    "keepalives_count", "options", "application_name", "dbname", "client_encoding",
                                    nullptr};
    const char* const values[] = {"5", "10000", "5", "2", "3",
                                  "-c lock_timeout=5000 -c statement_timeout=60000 -c cursor_tuple_fraction=1",
                                  "vantorel", uri.constData(), "UTF8", nullptr};
    m_conn = PQconnectdbParams(keywords, values, 1);
    m_place = describePlace(m_conn);
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const QString reason = PQconnectionNeedsPassword(m_conn)
            ? QStringLiteral("The server asks for a password, and libpq found none for this user and server in its "
                             "password file: ~/.pgpass, or the file the PGPASSFILE environment variable names. The "
                             "file must be readable by its owner alone (chmod 600), or libpq ignores it.")
            : serverText(PQerrorMessage(m_conn));
        PQfinish(m_conn);
        throw StoreError(QStringLiteral("Could not connect to %1.").arg(m_place), reason);
    }
}

PostgresConnection::~PostgresConnection()
{
    PQfinish(m_conn);
}

std::unique_ptr<RowScan> PostgresConnection::select(const QString& sql, const QVariantList& values,
                                                    const QString& attempt)
{
    // Each scan its own cursor, so two may be read side by side.
    const QByteArray cursor = "vantorel_rows_" + QByteArray::number(++m_cursors);
    return std::make_unique<PostgresRows>(m_conn, cursor, sql, values, attempt, m_place);
}

void PostgresConnection::run(const QString& sql, const QVariantList& values, const QString& attempt)
{
    execute(m_conn, sql, values, attempt);
}

std::unique_ptr<BulkAppend> PostgresConnection::appendInBulk(const TableDescription& table, const QString& attempt)
{
    return std::make_unique<PostgresCopy>(m_conn, table, attempt);
}

QStringList PostgresConnection::indexStatements(const QString& name, const QString& table,
                                                const QStringList& fields) const
{
    // Hash indexes, one per field: a B-tree refuses a value longer than a third of a page, and
    // the program stores any text typed. The server combines them for a test of several fields.
    QStringList statements;
    for (qsizetype i = 0; i < fields.size(); ++i)
        statements << QStringLiteral("create index %1%2 on %3 using hash (%4)").arg(name).arg(i + 1).arg(table, fields[i]);
    return statements;
}

} // namespace vantorel::data
