#include "data/ServerStore.h"

#include "data/Database.h"
#include "data/LinkFile.h"
#include "data/PostgresConnection.h"
#include "data/Schema.h"
#include "data/SqliteConnection.h"
#include "data/StoreError.h"
#include "data/Tables.h"

namespace vantorel::data {

namespace {

std::unique_ptr<PostgresConnection> connectEmpty(const QByteArray& uri)
{
    checkLinkTarget(uri);
    auto server = std::make_unique<PostgresConnection>(uri);
    const auto tables = server->select(
        QStringLiteral("select table_name from information_schema.tables where table_schema = current_schema()"), {},
        QStringLiteral("Could not look into %1.").arg(server->place()));
    if (tables->next())
        throw StoreError(QStringLiteral("%1 is not empty: it holds the table %2 already. Give an empty database.")
                             .arg(server->place(), tables->text(0)),
                         QString());
    return server;
}

// A record as the copy carries it: the yes/no flag as 1 or 0 (the server's field is a number,
// whatever text the file held), every other field as its text or no value.
QVariantList copiedRow(const RowScan& scan, const TableDescription& table, const QVector<int>& fields)
{
    QVariantList row;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (table.fields[size_t(i)].kind == FieldKind::YesNo)
            row << (scan.isYes(fields[i]) ? 1 : 0);
        else
            row << (scan.isNull(fields[i]) ? QVariant() : QVariant(scan.text(fields[i])));
    }
    return row;
}

// All of a table's fields in the store's own order.
std::unique_ptr<RowScan> everyRecord(Connection& connection, const TableDescription& table, QVector<int>& fields)
{
    auto scan = connection.select(QStringLiteral("select * from %1 order by %2").arg(table.sqlName(), connection.orderColumn()),
                                  {}, QStringLiteral("Could not read the table %1 in %2.").arg(table.sqlName(), connection.place()));
    fields.clear();
    for (const FieldDescription& field : table.fields)
        fields << scan->field(table.sqlName(), QString::fromLatin1(field.name));
    return scan;
}

// Records sent to the server in one statement: one round trip per thousand records instead of one
// each (a million records copy in seconds, not in minutes), within the server's 65,535 values.
constexpr int kRecordsPerInsert = 1000;

qint64 copyTable(Connection& from, Connection& to, const TableDescription& table)
{
    QVector<int> fields;
    const auto scan = everyRecord(from, table, fields);
    const QString attempt = QStringLiteral("Could not copy the table %1 to %2.").arg(table.sqlName(), to.place());
    const QString fullInsert = table.insertStatement(kRecordsPerInsert);
    QVariantList values;
    const auto send = [&](int records) {
        to.run(records == kRecordsPerInsert ? fullInsert : table.insertStatement(records), values, attempt);
        values.clear();
    };
    qint64 copied = 0;
    while (scan->next()) {
        values += copiedRow(*scan, table, fields);
        if (++copied % kRecordsPerInsert == 0)
            send(kRecordsPerInsert);
    }
    if (const int waiting = int(copied % kRecordsPerInsert); waiting > 0)
        send(waiting);
    return copied;
}

void compareTable(Connection& from, Connection& to, const TableDescription& table)
{
    QVector<int> fromFields;
    QVector<int> toFields;
    const auto original = everyRecord(from, table, fromFields);
    const auto copy = everyRecord(to, table, toFields);
    for (qint64 row = 1;; ++row) {
        const bool more = original->next();
        if (more != copy->next())
            throw StoreError(QStringLiteral("The copy of the table %1 holds a different number of records; nothing "
                                            "was copied.").arg(table.sqlName()), QString());
        if (!more)
            return;
        if (copiedRow(*original, table, fromFields) != copiedRow(*copy, table, toFields))
            throw StoreError(QStringLiteral("Record %1 of the table %2 differs in the copy; nothing was copied.")
                                 .arg(row).arg(table.sqlName()), QString());
    }
}

} // namespace

void createServerStore(const QByteArray& uri, const std::function<void(Database&)>& fill)
{
    Database db(connectEmpty(uri));
    fillNewStore(db, db.connection().place(), fill);
}

CopyCounts copyToServer(const QString& path, const QByteArray& uri)
{
    SqliteConnection file(path);
    const auto server = connectEmpty(uri);
    const QString attempt = QStringLiteral("Could not copy the records to %1.").arg(server->place());
    // One read transaction: the copy sees the file as it was at one moment.
    file.run(QStringLiteral("begin"), {}, attempt);
    server->run(QStringLiteral("begin"), {}, attempt);
    createTables(*server, attempt);
    const CopyCounts counts{copyTable(file, *server, kPersonTable), copyTable(file, *server, kVehicleTable),
                            copyTable(file, *server, kServicingTable)};
    for (const TableDescription* table : kAllTables)
        compareTable(file, *server, *table);
    server->run(QStringLiteral("commit"), {}, attempt);
    return counts;
}

} // namespace vantorel::data
