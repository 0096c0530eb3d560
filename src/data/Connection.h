#pragma once

#include "data/BulkAppend.h"
#include "data/RowScan.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <memory>

namespace vantorel::data {

struct TableDescription;

// One engine's connection to the store for the length of one action. Statements are written once
// for both engines with "?" placeholders; values are bound (QString, bool, integers, a null
// QVariant, or a StoredValue wrapped with QVariant::fromValue), never put into the text.
// Every failure is thrown as a StoreError carrying `attempt`.
class Connection {
public:
    virtual ~Connection() = default;

    virtual std::unique_ptr<RowScan> select(const QString& sql, const QVariantList& values,
                                            const QString& attempt) = 0;
    virtual void run(const QString& sql, const QVariantList& values, const QString& attempt) = 0;

    // The column that keeps the order in which records were stored: SQLite's rowid, or the
    // identity column the setup tool adds on the server.
    virtual QString orderColumn() const = 0;
    // What follows the fields of a new table (the server's identity column). It comes last, so a
    // statement naming no fields fills the table's own fields in their order.
    virtual QString extraColumns() const = 0;
    // The statements that make the engine itself refuse to change or delete a record of the table
    // (the file's triggers; on the server, the rights granted do it).
    virtual QStringList keepRecordsStatements(const QString& table) const = 0;
    // The statements that make a look-up index by the fields, for equality tests only.
    virtual QStringList indexStatements(const QString& name, const QString& table, const QStringList& fields) const = 0;
    // Appends records of `table` in bulk within the transaction this connection has begun.
    virtual std::unique_ptr<BulkAppend> appendInBulk(const TableDescription& table, const QString& attempt) = 0;
    // The statement that begins a transaction no other writer's records enter while it reads:
    // the file locked for writing at once, the server's view fixed at its first statement.
    virtual QString beginAlone() const = 0;
    // Where the records are, in a user's words: "Vantorel.mdb", or the database on its server.
    virtual QString place() const = 0;
};

} // namespace vantorel::data
