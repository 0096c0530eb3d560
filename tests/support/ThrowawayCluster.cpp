#include "ThrowawayCluster.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <libpq-fe.h>

#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace vantorel::test {

namespace {

// Where Debian puts the server programs; they are not on the PATH.
QString serverProgram(const char* name)
{
    for (const QString& version : QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed)) {
        const QString path = QStringLiteral("/usr/lib/postgresql/%1/bin/%2").arg(version, QLatin1String(name));
        if (QFileInfo::exists(path))
            return path;
    }
    qFatal("no PostgreSQL server program %s is installed", name);
}

// The server refuses to run as root: then it runs as the postgres user.
const passwd* serverUser()
{
    return geteuid() == 0 ? getpwnam("postgres") : nullptr;
}

void becomeServerUser()
{
    if (const passwd* user = serverUser()) {
        if (setgid(user->pw_gid) != 0 || setgroups(0, nullptr) != 0 || setuid(user->pw_uid) != 0)
            _exit(126);
    }
}

void runAsServerUser(const char* program, const QStringList& arguments)
{
    QProcess process;
    process.setChildProcessModifier(becomeServerUser);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(serverProgram(program), arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        qFatal("%s failed: %s", program, process.readAll().constData());
}

// The folder of a new cluster, handed to the user the server runs as.
QString clusterFolderFor(QTemporaryDir& folder)
{
    if (const passwd* user = serverUser()) {
        if (chown(QFile::encodeName(folder.path()).constData(), user->pw_uid, user->pw_gid) != 0)
            qFatal("cannot hand %s to the postgres user", qPrintable(folder.path()));
    }
    return folder.filePath(QStringLiteral("data"));
}

} // namespace

ThrowawayCluster::ThrowawayCluster(const QStringList& settings)
    : m_folder(QDir::tempPath() + QStringLiteral("/vantorel-cluster-XXXXXX"))
    , m_settings(settings)
{
    for (const QString& setting : settings) {
        if (setting.startsWith(u"port="))
            m_port = setting.mid(5).toInt();
    }
    runAsServerUser("initdb", QStringLiteral("-D %1 -U postgres --auth=trust --no-sync --encoding=UTF8 --locale=C")
                                  .arg(clusterFolderFor(m_folder))
                                  .split(u' '));
    start();
}

ThrowawayCluster::ThrowawayCluster(const ThrowawayCluster* primary)
    : m_folder(QDir::tempPath() + QStringLiteral("/vantorel-standby-XXXXXX"))
{
    runAsServerUser("pg_basebackup", QStringLiteral("-h %1 -U postgres -D %2 -R -X stream --no-sync")
                                         .arg(primary->socketFolder(), clusterFolderFor(m_folder))
                                         .split(u' '));
    start();
}

void ThrowawayCluster::start()
{
    m_server.setChildProcessModifier([] {
        becomeServerUser();
        // After the change of user, which clears it: the server stops when the test ends anyhow.
        prctl(PR_SET_PDEATHSIG, SIGQUIT);
    });
    // To a file: a pipe nobody reads would stop the server once it filled.
    m_server.setStandardOutputFile(logPath(), QIODevice::Append);
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.start(serverProgram("postgres"),
                   QStringLiteral("-D %1 -k %2 -c listen_addresses= -c fsync=off -c full_page_writes=off "
                                  "-c max_connections=80")
                           .arg(m_folder.filePath(QStringLiteral("data")), m_folder.path())
                           .split(u' ')
                       + m_settings);
    const QByteArray probe = uri("postgres");
    for (QDeadlineTimer deadline(30000); PQping(probe.constData()) != PQPING_OK; QThread::msleep(20)) {
        if (deadline.hasExpired() || m_server.state() == QProcess::NotRunning)
            qFatal("the throwaway PostgreSQL server did not start; see %s", qPrintable(logPath()));
    }
}

void ThrowawayCluster::promote() const
{
    PGconn* conn = PQconnectdb(uri("postgres").constData());
    PQclear(PQexec(conn, "select pg_promote(true, 30)"));
    PQfinish(conn);
}

// At once, as a crash would: nothing here needs to survive.
ThrowawayCluster::~ThrowawayCluster()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    ::kill(pid_t(m_server.processId()), SIGQUIT);
    m_server.waitForFinished(30000);
}

QString ThrowawayCluster::logPath() const
{
    return m_folder.filePath(QStringLiteral("server.log"));
}

QByteArray ThrowawayCluster::uri(const QByteArray& database) const
{
    return "postgresql:///" + database + "?host=" + QFile::encodeName(m_folder.path()) + "&port="
        + QByteArray::number(m_port) + "&user=postgres";
}

} // namespace vantorel::test
