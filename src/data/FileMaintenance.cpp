#include "data/FileMaintenance.h"

#include "data/Schema.h"
#include "data/StoreError.h"
#include "data/Tables.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace vantorel::data {

namespace {

// As long as the program waits for a lock: a writer in another program finishes meanwhile.
constexpr int kBusyTimeoutMs = 5000;

using FileHandle = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

FileHandle openFile(const QString& path, int flags)
{
    sqlite3* handle = nullptr;
    const int status = sqlite3_open_v2(QFile::encodeName(path).constData(), &handle, flags, nullptr);
    FileHandle connection(handle, &sqlite3_close);
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

QString keptName(const QString& path)
{
    const QString kept = path + QStringLiteral(".before-restore");
    QString name = kept;
    for (int number = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++number)
        name = kept + QLatin1Char('.') + QString::number(number);
    return name;
}

// Copies the database at `source` into the new, empty file `into`.
void copyDatabase(const QString& source, const QString& into)
{
    const FileHandle from = openFile(source, SQLITE_OPEN_READONLY);
    const FileHandle to = openFile(into, SQLITE_OPEN_READWRITE);
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
        throw StoreError(QStringLiteral("Could not copy %1.").arg(source), QString::fromUtf8(sqlite3_errmsg(to.get())));
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
    const FileHandle db = openFile(path, SQLITE_OPEN_READONLY);
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
    refuseExisting(target, Existing::Refuse);
    BuildingFile building(target);
    copyDatabase(source, building.name());
    putInPlace(building.name(), target, Existing::Refuse);
    building.keep();
}

QString restoreDatabaseFile(const QString& copy, const QString& path)
{
    const FileCheck check = checkDatabaseFile(copy);
    if (!check.isSound())
        throw StoreError(QStringLiteral("%1 is not a sound Vantorel database; nothing was changed.").arg(copy),
                         check.problems.join(QLatin1Char(' ')) + QLatin1Char(' ') + check.advice.value(0));
    BuildingFile incoming(path);
    copyDatabase(copy, incoming.name());
    // No program may be half-way through a change while the files trade places: an exclusive
    // lock on the current file waits for any writer to finish and keeps others out meanwhile.
    const FileHandle current = openFile(path, SQLITE_OPEN_READWRITE);
    if (sqlite3_exec(current.get(), "begin exclusive", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw StoreError(QStringLiteral("%1 is in use; nothing was changed.").arg(path),
                         QString::fromUtf8(sqlite3_errmsg(current.get())));
    const QString kept = keptName(path);
    if (link(QFile::encodeName(path).constData(), QFile::encodeName(kept).constData()) != 0)
        throw StoreError(QStringLiteral("Could not keep %1 as %2.").arg(path, kept),
                         QString::fromLocal8Bit(std::strerror(errno)));
    auto forgetKept = qScopeGuard([&] { QFile::remove(kept); });
    putInPlace(incoming.name(), path, Existing::ReplaceRegularFile);
    forgetKept.dismiss();
    incoming.keep();
    sqlite3_exec(current.get(), "rollback", nullptr, nullptr, nullptr);
    return kept;
}

} // namespace vantorel::data
