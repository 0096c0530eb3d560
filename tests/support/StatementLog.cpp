#include "StatementLog.h"

#include "TestSupport.h"
#include "ThrowawayCluster.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>

namespace vantorel::test {

namespace {

// SQLite calls back through plain functions, so the log of the one live StatementLog sits here.
QMutex logLock;
QStringList* liveLog = nullptr;

int recordStatement(unsigned, void*, void*, void* sqlText)
{
    const QMutexLocker locker(&logLock);
    if (liveLog)
        liveLog->append(QString::fromUtf8(static_cast<const char*>(sqlText)));
    return 0;
}

int traceNewConnection(sqlite3* db, const char**, const sqlite3_api_routines*)
{
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, recordStatement, nullptr);
    return SQLITE_OK;
}

using EntryPoint = void (*)();

} // namespace

StatementLog::StatementLog()
{
    if (onServer())
        m_serverLogStart = QFileInfo(cluster().logPath()).size();
    const QMutexLocker locker(&logLock);
    liveLog = new QStringList;
    sqlite3_auto_extension(reinterpret_cast<EntryPoint>(traceNewConnection));
}

StatementLog::~StatementLog()
{
    sqlite3_cancel_auto_extension(reinterpret_cast<EntryPoint>(traceNewConnection));
    const QMutexLocker locker(&logLock);
    delete std::exchange(liveLog, nullptr);
}

QStringList StatementLog::statements() const
{
    if (m_serverLogStart >= 0)
        return serverStatements();
    const QMutexLocker locker(&logLock);
    return *liveLog;
}

QStringList StatementLog::serverStatements() const
{
    QFile log(cluster().logPath());
    if (!log.open(QIODevice::ReadOnly) || !log.seek(m_serverLogStart))
        return {};
    static const QRegularExpression statement(QStringLiteral("LOG:  (?:statement|execute [^:]*): (.*)$"),
                                              QRegularExpression::MultilineOption);
    QStringList texts;
    for (auto match = statement.globalMatch(QString::fromUtf8(log.readAll())); match.hasNext();)
        texts << match.next().captured(1);
    return texts;
}

} // namespace vantorel::test
