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
    ThrowawayCluster();
    ~ThrowawayCluster();
    ThrowawayCluster(const ThrowawayCluster&) = delete;
    ThrowawayCluster& operator=(const ThrowawayCluster&) = delete;

    // A connection URI for `database` on this cluster, as the superuser.
    QByteArray uri(const QByteArray& database) const;

private:
    QString logPath() const;
    QTemporaryDir m_folder;
    QProcess m_server;
};

} // namespace vantorel::test
