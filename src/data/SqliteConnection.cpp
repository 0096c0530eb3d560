#include "data/SqliteConnection.h"

#include "data/StoreError.h"
#include "data/Tables.h"
#include "data/TextColumn.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace vantorel::data {

namespace {

// A lock held by another program delays an action by up to this long before it fails.
constexpr int kBusyTimeoutMs = 5000;

int bindStored(sqlite3_stmt* statement, int position, const StoredValue& stored)
{
    switch (stored.kind) {
    case StoredValue::Kind::Integer:
        return sqlite3_bind_int64(statement, position, stored.value.toLongLong());
    case StoredValue::Kind::Real:
        return sqlite3_bind_double(statement, position, stored.value.toDouble());
    case StoredValue::Kind::Text:
    case StoredValue::Kind::Blob: {
        // The bytes go back unchanged: a text need not be valid UTF-8 to be found again.
        const QByteArray bytes = stored.value.toByteArray();
        return stored.kind == StoredValue::Kind::Text
            ? sqlite3_bind_text(statement, position, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT)
            : sqlite3_bind_blob(statement, position, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    case StoredValue::Kind::Null:
        break;
    }
    return sqlite3_bind_null(statement, position);
}

int bind(sqlite3_stmt* statement, int position, const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<StoredValue>())
        return bindStored(statement, position, value.value<StoredValue>());
    if (value.isNull())
        return sqlite3_bind_null(statement, position);
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return sqlite3_bind_int64(statement, position, value.toLongLong());
    default: {
        const QByteArray text = value.toString().toUtf8();
        return sqlite3_bind_text(statement, position, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    }
}

// One prepared statement with its values bound, finalized when it goes.
class Statement {
public:
    Statement(sqlite3* db, const QString& sql, const QVariantList& values, const QString& attempt)
        : m_db(db)
        , m_attempt(attempt)
    {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_statement, nullptr) != SQLITE_OK)
            fail();
        for (int i = 0; i < values.size(); ++i) {
            if (bind(m_statement, i + 1, values.at(i)) != SQLITE_OK)
                fail();
        }
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool step()
    {
        switch (sqlite3_step(m_statement)) {
        case SQLITE_ROW:
            return true;
        case SQLITE_DONE:
            return false;
        default:
            fail();
        }
    }

    sqlite3_stmt* handle() const { return m_statement; }

    // Binds the next record's fields, for a statement stepped once per record. The texts stay
    // where they are until the step: SQLite copies them only as it stores them.
    void rebind(const BulkRecord& record)
    {
        sqlite3_reset(m_statement);
        for (size_t i = 0; i < record.size(); ++i) {
            const BulkField& field = record[i];
            const int position = int(i) + 1;
            const int bound = field.isNull ? sqlite3_bind_null(m_statement, position)
                                           : sqlite3_bind_text(m_statement, position, field.text.data(),
                                                               int(field.text.size()), SQLITE_STATIC);
            if (bound != SQLITE_OK)
                fail();
        }
    }

private:
    [[noreturn]] void fail() const
    {
        const QString reason = QString::fromUtf8(sqlite3_errmsg(m_db));
        throw StoreError(m_attempt, reason, kindOf(sqlite3_extended_errcode(m_db), reason));
    }

    // SQLite answers every statement: an append that failed stored nothing, unless its identity
    // was stored before.
    static StoreError::Kind kindOf(int code, const QString& reason)
    {
        const bool aboutKey = reason.contains(kAppendKeyColumn);
        if (code == SQLITE_CONSTRAINT_UNIQUE && aboutKey)
            return StoreError::Kind::AlreadyStored;
        if (code == SQLITE_ERROR && aboutKey && reason.contains(QLatin1String("no column")))
            return StoreError::Kind::NoAppendKey;
        return StoreError::Kind::Failed;
    }

    sqlite3* m_db;
    QString m_attempt;
    sqlite3_stmt* m_statement = nullptr;
};

class SqliteRows : public RowScan {
public:
    SqliteRows(sqlite3* db, const QString& sql, const QVariantList& values, const QString& attempt)
        : m_statement(db, sql, values, attempt)
        , m_s(m_statement.handle())
    {
    }

    int field(const QString& table, const QString& name) const override
    {
        for (int column = 0; column < fieldCount(); ++column) {
            if (name.compare(QString::fromUtf8(sqlite3_column_name(m_s, column)), Qt::CaseInsensitive) == 0)
                return column;
        }
        throw StoreError(QStringLiteral("The table %1 in Vantorel.mdb has no field %2.").arg(table, name), QString());
    }

    int fieldCount() const override { return sqlite3_column_count(m_s); }

    bool next() override { return m_statement.step(); }

    QString text(int field) const override
    {
        switch (sqlite3_column_type(m_s, field)) {
        case SQLITE_NULL:
            return QString();
        case SQLITE_FLOAT:
            return QString::number(sqlite3_column_double(m_s, field), 'g', 15);
        default:
            // Asked for first, the text pointer decides the length that follows it.
            const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_s, field));
            return QString::fromUtf8(bytes, sqlite3_column_bytes(m_s, field));
        }
    }

    void appendText(int field, TextColumn& column) const override
    {
        // The value itself, asked once: each column call looks the column up again. This
        // connection is used by one thread only, which is what reading it unprotected needs.
        sqlite3_value* value = sqlite3_column_value(m_s, field);
        if (sqlite3_value_type(value) == SQLITE_FLOAT) {
            column.append(text(field));
            return;
        }
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(value));
        column.append(bytes ? bytes : "", sqlite3_value_bytes(value));
    }

    std::string_view utf8(int field) const override
    {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_s, field));
        return bytes ? std::string_view(bytes, size_t(sqlite3_column_bytes(m_s, field))) : std::string_view();
    }

    bool isNull(int field) const override { return sqlite3_column_type(m_s, field) == SQLITE_NULL; }

    StoredValue stored(int field) const override
    {
        const auto bytes = [&](const void* data) {
            return QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(m_s, field));
        };
        switch (sqlite3_column_type(m_s, field)) {
        case SQLITE_INTEGER:
            return {StoredValue::Kind::Integer, qint64(sqlite3_column_int64(m_s, field))};
        case SQLITE_FLOAT:
            return {StoredValue::Kind::Real, sqlite3_column_double(m_s, field)};
        case SQLITE_TEXT:
            return {StoredValue::Kind::Text, bytes(sqlite3_column_text(m_s, field))};
        case SQLITE_BLOB:
            return {StoredValue::Kind::Blob, bytes(sqlite3_column_blob(m_s, field))};
        default:
            return {};
        }
    }

private:
    Statement m_statement;
    sqlite3_stmt* m_s;
};

// One insert statement prepared once and stepped for every record.
class SqliteBulkAppend : public BulkAppend {
public:
    SqliteBulkAppend(sqlite3* db, const TableDescription& table, const QString& attempt)
        : m_statement(db, table.insertStatement(), {}, attempt)
    {
    }

    void append(const BulkRecord& record) override
    {
        m_statement.rebind(record);
        m_statement.step();
    }

    void finish() override {}

private:
    Statement m_statement;
};

} // namespace

SqliteConnection::SqliteConnection(const QString& path)
{
    const QFileInfo file(path);
    m_place = file.fileName();
    // Without SQLITE_OPEN_CREATE a missing file is an error: the program never creates the store.
    const int opened = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (opened != SQLITE_OK) {
        const QString reason = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(opened));
        sqlite3_close(m_db);
        throw StoreError(QStringLiteral("The database file %1 could not be opened in the folder %2.")
                             .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath())),
                         reason);
    }
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
}

SqliteConnection::~SqliteConnection()
{
    sqlite3_close(m_db);
}

std::unique_ptr<RowScan> SqliteConnection::select(const QString& sql, const QVariantList& values,
                                                  const QString& attempt)
{
    return std::make_unique<SqliteRows>(m_db, sql, values, attempt);
}

void SqliteConnection::run(const QString& sql, const QVariantList& values, const QString& attempt)
{
    Statement statement(m_db, sql, values, attempt);
    while (statement.step()) {
    }
}

std::unique_ptr<BulkAppend> SqliteConnection::appendInBulk(const TableDescription& table, const QString& attempt)
{
    return std::make_unique<SqliteBulkAppend>(m_db, table, attempt);
}

QStringList SqliteConnection::keepRecordsStatements(const QString& table) const
{
    QStringList statements;
    for (const auto& [change, done] : {std::pair{"update", "Updated"}, std::pair{"delete", "Deleted"}}) {
        statements << QStringLiteral("create trigger %1Never%2 before %3 on %1 begin select raise(abort, "
                                     "'Vantorel keeps every record as it was stored: none is ever changed or "
                                     "deleted.'); end")
                          .arg(table, QLatin1String(done), QLatin1String(change));
    }
    return statements;
}

QStringList SqliteConnection::indexStatements(const QString& name, const QString& table,
                                              const QStringList& fields) const
{
    return {QStringLiteral("create index %1 on %2 (%3)").arg(name, table, fields.join(QStringLiteral(", ")))};
}

QString SqliteConnection::place() const
{
    return m_place;
}

} // namespace vantorel::data
