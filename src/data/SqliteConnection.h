#pragma once

#include "data/Connection.h"

struct sqlite3;

namespace vantorel::data {

// The embedded store: an existing SQLite file, opened for reading and writing and never created.
// Reads and writes both go through SQLite's C API. A lock held by another program delays an
// action by up to five seconds before it fails.
class SqliteConnection : public Connection {
public:
    explicit SqliteConnection(const QString& path);
    ~SqliteConnection() override;
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    std::unique_ptr<RowScan> select(const QString& sql, const QVariantList& values, const QString& attempt) override;
    void run(const QString& sql, const QVariantList& values, const QString& attempt) override;
    QString orderColumn() const override { return QStringLiteral("rowid"); }
    QString extraColumns() const override { return {}; }
    QStringList keepRecordsStatements(const QString& table) const override;
    QStringList indexStatements(const QString& name, const QString& table, const QStringList& fields) const override;
    std::unique_ptr<BulkAppend> appendInBulk(const TableDescription& table, const QString& attempt) override;
    QString beginAlone() const override { return QStringLiteral("begin immediate"); }
    QString place() const override;

private:
    sqlite3* m_db = nullptr;
    QString m_place;
};

} // namespace vantorel::data
