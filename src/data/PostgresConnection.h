#pragma once

#include "data/Connection.h"

#include <QByteArray>

struct pg_conn;

namespace vantorel::data {

// The server store: one PostgreSQL database reached through libpq, with the connection URI of a
// link file. Reads and writes both go through libpq with every value sent apart from the
// statement. The server's own conventions (~/.pgpass, PGPASSFILE, service files, sslmode) apply.
// Connecting gives up after 5 s, waiting for another workstation's lock after 5 s (as the file's
// busy timeout does), a statement after a minute, and a connection whose server is gone from the
// network after about 25 s.
class PostgresConnection : public Connection {
public:
    // `uri` must already have passed checkLinkTarget (see LinkFile.h).
    explicit PostgresConnection(const QByteArray& uri);
    ~PostgresConnection() override;
    PostgresConnection(const PostgresConnection&) = delete;
    PostgresConnection& operator=(const PostgresConnection&) = delete;

    std::unique_ptr<RowScan> select(const QString& sql, const QVariantList& values, const QString& attempt) override;
    void run(const QString& sql, const QVariantList& values, const QString& attempt) override;
    QString orderColumn() const override { return QStringLiteral("StoredOrder"); }
    QString extraColumns() const override
    {
        return QStringLiteral(", StoredOrder bigint generated always as identity primary key");
    }
    QStringList keepRecordsStatements(const QString&) const override { return {}; }
    QStringList indexStatements(const QString& name, const QString& table, const QStringList& fields) const override;
    std::unique_ptr<BulkAppend> appendInBulk(const TableDescription& table, const QString& attempt) override;
    QString beginAlone() const override { return QStringLiteral("begin isolation level repeatable read"); }
    QString place() const override { return m_place; }

private:
    pg_conn* m_conn = nullptr;
    QString m_place;
    int m_cursors = 0;
};

} // namespace vantorel::data
