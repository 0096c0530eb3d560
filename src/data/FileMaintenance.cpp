#include "data/FileMaintenance.h"

#include "data/StoreError.h"
#include "data/Tables.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace vantorel::data {

namespace {

// As long as the program waits for a lock: a writer in another program finishes meanwhile.
constexpr int kBusyTimeoutMs = 5000;

using Connection = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

Connection openFile(const QString& path, int flags)
{
    sqlite3* handle = nullptr;
    const int status = sqlite3_open_v2(QFile::encodeName(path).constData(), &handle, flags, nullptr);
    Connection connection(handle, &sqlite3_close);
    if (status != SQLITE_OK)
        throw StoreError(QStringLiteral("Could not open %1.").arg(path),
                         QString::fromUtf8(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(status)));
    sqlite3_busy_timeout(handle, kBusyTimeoutMs);
    return connection;
}

// The first column of every row `sql` gives, as text; an error as the only row.
QStringList column(sqlite3* db, const char* sql, bool* failed = nullptr)
{
    sqlite3_stmt* statement = nullptr;
    QStringList values;
    int status = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    if (status == SQLITE_OK) {
        while ((status = sqlite3_step(statement)) == SQLITE_ROW)
            values << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    }
    sqlite3_finalize(statement);
    const bool ok = status == SQLITE_DONE;
    if (failed)
        *failed = !ok;
    return ok ? values : QStringList{QString::fromUtf8(sqlite3_errmsg(db))};
}

// False when the file could not be read as a database at all.
bool checkIntegrity(sqlite3* db, FileCheck& check)
{
    bool failed = false;
    const QStringList report = column(db, "pragma integrity_check", &failed);
    if (!failed && report == QStringList{QStringLiteral("ok")})
        return true;
    check.problems << QStringLiteral("The file is damaged: %1").arg(report.mid(0, 5).join(QStringLiteral("; ")));
    const bool indexesOnly = !failed && std::all_of(report.begin(), report.end(), [](const QString& line) {
        return line.contains(QStringLiteral("index"));
    });
    check.advice << (indexesOnly ? QStringLiteral("Only its indexes are damaged: rebuild them with "
                                                  "sqlite3 Vantorel.mdb 'REINDEX' while no one uses the program.")
                                 : QStringLiteral("Restore it from a backup with vantorel-setup --restore FILE."));
    return !failed;
}

void checkTables(sqlite3* db, FileCheck& check)
{
    for (const TableDescription* table : kAllTables) {
        const QString sql = QStringLiteral("select name from pragma_table_info('%1')").arg(table->sqlName());
        const QStringList present = column(db, sql.toUtf8().constData());
        QStringList missing;
        for (const FieldDescription& field : table->fields) {
            if (!present.contains(QLatin1String(field.name), Qt::CaseInsensitive))
                missing << QLatin1String(field.name);
        }
        if (present.isEmpty())
            check.problems << QStringLiteral("The table %1 is missing.").arg(table->sqlName());
        else if (!missing.isEmpty())
            check.problems << QStringLiteral("The table %1 has no field %2.")
                                  .arg(table->sqlName(), missing.join(QStringLiteral(", ")));
    }
    if (check.problems.size() > check.advice.size())
        check.advice << QStringLiteral("This is not a whole Vantorel database: restore one from a backup "
                                       "with vantorel-setup --restore FILE.");
}

qint64 countOf(sqlite3* db, const TableDescription& table)
{
    const QString sql = QStringLiteral("select count(*) from %1").arg(table.sqlName());
    return column(db, sql.toUtf8().constData()).value(0).toLongLong();
}

// A name beside `path` that nothing has yet.
QString unusedNameBeside(const QString& path, const QString& kind)
{
    return QStringLiteral("%1.%2-%3").arg(path, kind).arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

void linkWithoutReplacing(const QString& from, const QString& to)
{
    if (link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw StoreError(QStringLiteral("Could not put %1 in place.").arg(to), QString::fromLocal8Bit(std::strerror(errno)));
}

QString keptName(const QString& path)
{
    const QString kept = path + QStringLiteral(".before-restore");
    QString name = kept;
    for (int number = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++number)
        name = kept + QLatin1Char('.') + QString::number(number);
    return name;
}

} // namespace

FileCheck checkDatabaseFile(const QString& path)
{
    FileCheck check;
    if (!QFileInfo(path).isFile()) {
        check.problems << QStringLiteral("%1 is not a file.").arg(path);
        check.advice << QStringLiteral("Give the path of a Vantorel database or backup.");
        return check;
    }
    const Connection db = openFile(path, SQLITE_OPEN_READONLY);
    if (checkIntegrity(db.get(), check))
        checkTables(db.get(), check);
    if (check.isSound()) {
        check.users = countOf(db.get(), kPersonTable);
        check.vehicles = countOf(db.get(), kVehicleTable);
        check.jobs = countOf(db.get(), kServicingTable);
    }
    return check;
}

void backupDatabaseFile(const QString& source, const QString& target)
{
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        throw StoreError(QStringLiteral("%1 exists already.").arg(target), QString());
    const QString building = unusedNameBeside(target, QStringLiteral("unfinished"));
    const auto cleanUp = qScopeGuard([&] { QFile::remove(building); });
    {
        const Connection from = openFile(source, SQLITE_OPEN_READONLY);
        const Connection to = openFile(building, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        // One step copies every page under one read lock: a snapshot, however busy the file.
        sqlite3_backup* backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
        int status = backup ? sqlite3_backup_step(backup, -1) : SQLITE_ERROR;
        for (int wait = 0; status == SQLITE_BUSY || status == SQLITE_LOCKED; ++wait) {
            if (wait * 100 > kBusyTimeoutMs)
                break;
            sqlite3_sleep(100);
            status = sqlite3_backup_step(backup, -1);
        }
        sqlite3_backup_finish(backup);
        if (status != SQLITE_DONE)
            throw StoreError(QStringLiteral("Could not copy %1.").arg(source),
                             QString::fromUtf8(sqlite3_errmsg(to.get())));
    }
    linkWithoutReplacing(building, target);
}

QString restoreDatabaseFile(const QString& copy, const QString& path)
{
    const FileCheck check = checkDatabaseFile(copy);
    if (!check.isSound())
        throw StoreError(QStringLiteral("%1 is not a sound Vantorel database; nothing was changed.").arg(copy),
                         check.problems.join(QLatin1Char(' ')) + QLatin1Char(' ') + check.advice.value(0));
    const QString incoming = unusedNameBeside(path, QStringLiteral("restoring"));
    const auto cleanUp = qScopeGuard([&] { QFile::remove(incoming); });
    backupDatabaseFile(copy, incoming);
    // No program may be half-way through a change while the files trade places: an exclusive
    // lock on the current file waits for any writer to finish and keeps others out meanwhile.
    const Connection current = openFile(path, SQLITE_OPEN_READWRITE);
    if (sqlite3_exec(current.get(), "begin exclusive", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw StoreError(QStringLiteral("%1 is in use; nothing was changed.").arg(path),
                         QString::fromUtf8(sqlite3_errmsg(current.get())));
    const QString kept = keptName(path);
    linkWithoutReplacing(path, kept);
    if (std::rename(QFile::encodeName(incoming).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(kept);
        throw StoreError(QStringLiteral("Could not put %1 in place of %2.").arg(copy, path),
                         QString::fromLocal8Bit(std::strerror(errno)));
    }
    sqlite3_exec(current.get(), "rollback", nullptr, nullptr, nullptr);
    return kept;
}

} // namespace vantorel::data
