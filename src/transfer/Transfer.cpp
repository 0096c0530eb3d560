#include "transfer/Transfer.h"

#include "data/Connection.h"
#include "data/Credentials.h"
#include "data/StoreError.h"
#include "data/TableScan.h"
#include "data/Tables.h"
#include "transfer/Passwords.h"
#include "transfer/Progress.h"
#include "transfer/ReadAhead.h"
#include "transfer/RecordSource.h"
#include "transfer/StoreSource.h"

#include <QElapsedTimer>

#include <optional>

namespace vantorel::transfer {

using data::FieldKind;
using data::StoreError;
using data::TableDescription;

namespace {

// The position of the Password field in Person, the one field a typed source changes on the way.
std::optional<size_t> passwordField(const RecordSource& source, const TableDescription& table)
{
    if (!source.passwordsAsTyped())
        return std::nullopt;
    for (size_t i = 0; i < table.fields.size(); ++i) {
        if (table.fields[i].kind == FieldKind::Secret)
            return i;
    }
    return std::nullopt;
}

// Whether the typed value is hashed on the way in: no value stays none, and a text in a hash
// format stays as it is (hashed again it would never match anything typed).
bool isHashed(const data::BulkField& typed)
{
    return !typed.isNull && !data::looksLikePasswordHash(QString::fromStdString(typed.text));
}

// A table whose passwords are hashed is read whole first, so that every core can hash at once;
// it is the table of the shop's users, never a large one.
qint64 appendWithHashing(TableReader& reader, data::BulkAppend& append, size_t password, Progress& progress,
                         TableSummary& summary)
{
    QList<data::BulkRecord> records;
    QList<QString> typed;
    data::BulkRecord record;
    while (reader.next(record)) {
        records << record;
        if (isHashed(record[password]))
            typed << QString::fromStdString(record[password].text);
    }
    progress.begin(QStringLiteral("%1: hashing passwords").arg(summary.table), typed.size());
    QElapsedTimer hashing;
    hashing.start();
    hashAll(typed, progress);
    summary.hashingMilliseconds += hashing.elapsed();
    summary.passwordsHashed = typed.size();
    qsizetype nextHash = 0;
    progress.begin(QStringLiteral("%1: storing").arg(summary.table), records.size());
    for (qsizetype i = 0; i < records.size(); ++i) {
        data::BulkRecord& stored = records[i];
        if (isHashed(stored[password]))
            stored[password].set(typed.at(nextHash++).toStdString());
        append.append(stored);
        progress.advance(i + 1);
    }
    return records.size();
}

// The source is read on a thread of its own from here on, so nothing else may ask it anything
// (its count included, taken before) until the table is done.
qint64 appendTable(RecordSource& source, const TableDescription& table, data::Connection& destination,
                   Progress& progress, TableSummary& summary)
{
    ReadAhead reader(source.read(table));
    const auto append = destination.appendInBulk(
        table, QStringLiteral("Could not store the table %1 in %2.").arg(table.sqlName(), destination.place()));
    qint64 stored = 0;
    if (const auto password = passwordField(source, table)) {
        stored = appendWithHashing(reader, *append, *password, progress, summary);
    } else {
        progress.begin(QStringLiteral("%1: storing").arg(table.sqlName()), summary.read);
        data::BulkRecord record;
        while (reader.next(record)) {
            append->append(record);
            progress.advance(++stored);
        }
    }
    append->finish();
    return stored;
}

[[noreturn]] void differs(const RecordSource& source, const TableDescription& table, const QString& what)
{
    throw StoreError(QStringLiteral("The copy of the table %1 from %2 differs: %3. Nothing was changed.")
                         .arg(table.sqlName(), source.name(), what),
                     QString());
}

void compareTable(RecordSource& source, const TableDescription& table, data::Connection& destination,
                  qint64 after, Progress& progress, TableSummary& summary)
{
    ReadAhead original(source.read(table));
    const auto copy = data::recordsAfter(destination, table, after);
    const std::vector<int> fields = fieldPositions(*copy, table);
    const std::optional<size_t> password = passwordField(source, table);
    QList<std::pair<QString, QString>> hashed;
    data::BulkRecord expected;
    data::BulkRecord stored;
    progress.begin(QStringLiteral("%1: comparing").arg(table.sqlName()), summary.read);
    qint64 compared = 0;
    while (true) {
        const bool more = original.next(expected);
        if (more != copy->next())
            differs(source, table, QStringLiteral("it holds a different number of records"));
        if (!more)
            break;
        storedRecord(*copy, table, fields, stored);
        for (size_t i = 0; i < expected.size(); ++i) {
            if (password == i && isHashed(expected[i])) {
                hashed.append({QString::fromStdString(expected[i].text), QString::fromStdString(stored[i].text)});
                continue;
            }
            if (expected[i] != stored[i])
                differs(source, table, QStringLiteral("the field %1 of record %2")
                                           .arg(QLatin1String(table.fields[i].name))
                                           .arg(compared + 1));
        }
        progress.advance(++compared);
    }
    summary.compared = compared;
    if (!hashed.isEmpty()) {
        progress.begin(QStringLiteral("%1: verifying passwords").arg(table.sqlName()), hashed.size());
        QElapsedTimer verifying;
        verifying.start();
        if (!allVerify(hashed, progress))
            differs(source, table, QStringLiteral("a stored password does not verify"));
        summary.hashingMilliseconds += verifying.elapsed();
    }
}

} // namespace

TransferSummary transferRecords(RecordSource& source, data::Connection& destination, Progress& progress)
{
    QElapsedTimer clock;
    clock.start();
    TransferSummary summary{source.name(), {}, source.extraTables(), 0};
    QList<qint64> before;
    for (const TableDescription* table : source.tables()) {
        before << data::lastPosition(destination, *table);
        TableSummary tableSummary{table->sqlName(), source.count(*table), 0, 0, 0, 0, source.extraColumns(*table)};
        tableSummary.stored = appendTable(source, *table, destination, progress, tableSummary);
        summary.tables << tableSummary;
    }
    for (qsizetype i = 0; i < summary.tables.size(); ++i)
        compareTable(source, *source.tables().at(i), destination, before.at(i), progress, summary.tables[i]);
    progress.end();
    summary.milliseconds = clock.elapsed();
    return summary;
}

QString summaryText(const TransferSummary& summary)
{
    QString text = QStringLiteral("From %1:\n").arg(summary.source);
    for (const TableSummary& table : summary.tables) {
        text += QStringLiteral("  %1: %2 records read, %3 stored, %4 compared equal")
                    .arg(table.table, groupedNumber(table.read), groupedNumber(table.stored), groupedNumber(table.compared));
        if (table.passwordsHashed > 0)
            text += QStringLiteral("; %1 passwords hashed (hashing and verifying took %2 s)")
                        .arg(groupedNumber(table.passwordsHashed))
                        .arg(double(table.hashingMilliseconds) / 1000.0, 0, 'f', 2);
        if (!table.extraColumns.isEmpty())
            text += QStringLiteral("; fields left out: %1").arg(table.extraColumns.join(QStringLiteral(", ")));
        text += QLatin1Char('\n');
    }
    if (!summary.extraTables.isEmpty())
        text += QStringLiteral("  Tables left out: %1\n").arg(summary.extraTables.join(QStringLiteral(", ")));
    text += QStringLiteral("  Time: %1 s\n").arg(double(summary.milliseconds) / 1000.0, 0, 'f', 1);
    return text;
}

} // namespace vantorel::transfer
