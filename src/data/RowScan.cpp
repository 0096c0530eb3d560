#include "data/RowScan.h"

#include "data/Database.h"
#include "data/StoredValues.h"
#include "data/StoreError.h"
#include "data/TextColumn.h"

#include <sqlite3.h>

namespace vantorel::data {

namespace {

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
    if (value.isNull() || (value.metaType().id() == QMetaType::QString && value.toString().isNull()))
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

} // namespace

RowScan::RowScan(Database& db, const QString& sql, const QVariantList& values, const QString& attempt)
    : m_db(db.handle())
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

RowScan::~RowScan()
{
    sqlite3_finalize(m_statement);
}

void RowScan::fail() const
{
    throw StoreError(m_attempt, QString::fromUtf8(sqlite3_errmsg(m_db)));
}

int RowScan::field(const QString& table, const QString& name) const
{
    for (int column = 0; column < sqlite3_column_count(m_statement); ++column) {
        if (name.compare(QString::fromUtf8(sqlite3_column_name(m_statement, column)), Qt::CaseInsensitive)
            == 0)
            return column;
    }
    throw StoreError(
        QStringLiteral("The table %1 in Vantorel.mdb has no field %2.").arg(table, name), QString());
}

bool RowScan::next()
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

QString RowScan::text(int field) const
{
    switch (sqlite3_column_type(m_statement, field)) {
    case SQLITE_NULL:
        return QString();
    case SQLITE_FLOAT:
        return QString::number(sqlite3_column_double(m_statement, field), 'g', 15);
    default:
        // Asked for first, the text pointer decides the length that follows it.
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, field));
        return QString::fromUtf8(bytes, sqlite3_column_bytes(m_statement, field));
    }
}

void RowScan::appendText(int field, TextColumn& column) const
{
    if (sqlite3_column_type(m_statement, field) == SQLITE_FLOAT) {
        column.append(text(field));
        return;
    }
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, field));
    column.append(bytes ? bytes : "", sqlite3_column_bytes(m_statement, field));
}

bool RowScan::isNull(int field) const
{
    return sqlite3_column_type(m_statement, field) == SQLITE_NULL;
}

StoredValue RowScan::stored(int field) const
{
    const auto bytes = [&](const void* data) {
        return QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(m_statement, field));
    };
    switch (sqlite3_column_type(m_statement, field)) {
    case SQLITE_INTEGER:
        return {StoredValue::Kind::Integer, qint64(sqlite3_column_int64(m_statement, field))};
    case SQLITE_FLOAT:
        return {StoredValue::Kind::Real, sqlite3_column_double(m_statement, field)};
    case SQLITE_TEXT:
        return {StoredValue::Kind::Text, bytes(sqlite3_column_text(m_statement, field))};
    case SQLITE_BLOB:
        return {StoredValue::Kind::Blob, bytes(sqlite3_column_blob(m_statement, field))};
    default:
        return {};
    }
}

bool RowScan::isYes(int field) const
{
    return isYesValue(stored(field).value);
}

} // namespace vantorel::data
