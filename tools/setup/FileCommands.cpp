#include "FileCommands.h"

#include "data/FileMaintenance.h"
#include "data/LinkFile.h"
#include "data/StoreError.h"

#include <QTextStream>

namespace {

using vantorel::data::FileCheck;

QString counts(const FileCheck& check)
{
    return QStringLiteral("%1 users, %2 vehicles, %3 maintenance jobs").arg(check.users).arg(check.vehicles).arg(check.jobs);
}

int report(const QString& file, const FileCheck& check)
{
    if (check.isSound()) {
        QTextStream(stdout) << file << " is sound: " << counts(check) << ".\n";
        return 0;
    }
    QTextStream out(stderr);
    out << "vantorel-setup: " << file << " has problems:\n";
    for (const QString& problem : check.problems)
        out << "  " << problem << '\n';
    out << "What to do:\n";
    for (const QString& advice : check.advice)
        out << "  " << advice << '\n';
    return 1;
}

// For a folder whose Vantorel.mdb names a server: the server's own tools keep its records, and
// nothing was written here, which the exit status says.
int serverCare(const QByteArray& uri, const QString& what, const QString& command)
{
    QTextStream(stderr) << "vantorel-setup: Vantorel.mdb names a PostgreSQL server, which " << what
                        << " with PostgreSQL's own tools, e.g.:\n  " << command.arg(QString::fromUtf8(uri)) << '\n';
    return 1;
}

} // namespace

int backupCommand(const QString& database, const QString& backup)
{
    if (const auto uri = vantorel::data::linkTarget(database)) {
        return serverCare(*uri, QStringLiteral("is backed up"),
                          QStringLiteral("pg_dump --format=custom --file='%1' --dbname='%2'").arg(backup));
    }
    vantorel::data::refuseJetFile(database);
    vantorel::data::backupDatabaseFile(database, backup);
    const FileCheck check = vantorel::data::checkDatabaseFile(backup);
    if (!check.isSound())
        return report(backup, check);
    QTextStream(stdout) << "Wrote " << backup << ", a copy of " << database << " checked sound: " << counts(check)
                        << ".\n";
    return 0;
}

int restoreCommand(const QString& database, const QString& backup)
{
    if (const auto uri = vantorel::data::linkTarget(database)) {
        return serverCare(*uri, QStringLiteral("is restored"),
                          QStringLiteral("pg_restore --clean --single-transaction --dbname='%2' '%1'").arg(backup));
    }
    const QString kept = vantorel::data::restoreDatabaseFile(backup, database);
    QTextStream(stdout) << "Restored " << database << " from " << backup << "; the file it replaced is kept as "
                        << kept << ".\n";
    return 0;
}

int checkCommand(const QString& database)
{
    if (const auto uri = vantorel::data::linkTarget(database)) {
        return serverCare(*uri, QStringLiteral("checks its own files; its tables are read"),
                          QStringLiteral("psql --dbname='%1' --command='select count(*) from Servicing'"));
    }
    vantorel::data::refuseJetFile(database);
    return report(database, vantorel::data::checkDatabaseFile(database));
}
