#pragma once

#include <QByteArray>
#include <QProcess>
#include <QTemporaryDir>

namespace vantorel::test {

// A PostgreSQL cluster of the test's own: initdb into a temporary folder (as the postgres user
// when the test runs as root, since the server refuses root), listening on a Unix socket in that
// folder only. The server is a child of the test process and is told to stop when that process
// ends in any way, a crash or a kill included; the object's end stops it at once and removes
// the folder.
class ThrowawayCluster {
public:
    // `settings` go to the server after the test's own ("-c name=value" each), and win over them.
    explicit ThrowawayCluster(const QStringList& settings = {});
    // A streaming standby of `primary`, made from a base backup of it.
    explicit ThrowawayCluster(const ThrowawayCluster* primary);
    ~ThrowawayCluster();
    ThrowawayCluster(const ThrowawayCluster&) = delete;
    ThrowawayCluster& operator=(const ThrowawayCluster&) = delete;

    // A connection URI for `database` on this cluster, as the superuser.
    QByteArray uri(const QByteArray& database) const;
    // Where the server's socket is, the one way in.
    QString socketFolder() const { return m_folder.path(); }
    // Makes a standby the primary, as an administrator does after the primary is lost.
    void promote() const;

private:
    void start();
    QString logPath() const;
    QTemporaryDir m_folder;
    QProcess m_server;
    QStringList m_settings;
    int m_port = 5432;
};

} // namespace vantorel::test
