#include "FileCommands.h"

#include "data/FileMaintenance.h"
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

} // namespace

int backupCommand(const QString& database, const QString& backup)
{
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
    const QString kept = vantorel::data::restoreDatabaseFile(backup, database);
    QTextStream(stdout) << "Restored " << database << " from " << backup << "; the file it replaced is kept as "
                        << kept << ".\n";
    return 0;
}

int checkCommand(const QString& database)
{
    return report(database, vantorel::data::checkDatabaseFile(database));
}
