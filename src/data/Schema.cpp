#include "data/Schema.h"

#include "data/Database.h"
#include "data/LinkFile.h"
#include "data/StoreError.h"
#include "data/Tables.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace vantorel::data {

namespace {

// No key is unique: the program appends duplicates like any other record and a look-up uses the
// first. The indexes serve the look-ups by employee, by vehicle and a vehicle's jobs.
struct Index {
    const char* name;
    const TableDescription& table;
    QStringList fields;
};

const Index kIndexes[] = {
    {"PersonByID", kPersonTable, {QStringLiteral("IDNumber")}},
    {"VehicleByNumber", kVehicleTable, {QStringLiteral("VNumber")}},
    {"ServicingByVehicleDate", kServicingTable, {QStringLiteral("VNumber"), QStringLiteral("\"Date\"")}},
};

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

void buildTables(const QString& path, const std::function<void(Database&)>& fill)
{
    Database db(path);
    fillNewStore(db, path, fill);
}

// Renames without replacing anything: renameat2 refuses an existing name; on a file system
// without it, a hard link refuses it just the same.
bool renameWithoutReplacing(const QByteArray& from, const QByteArray& to)
{
    if (renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (link(from.constData(), to.constData()) != 0)
        return false;
    unlink(from.constData());
    return true;
}

// Makes the new name last through a power cut once creation has reported success.
void syncFolder(const QString& folder)
{
    const int fd = open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

void writeWhole(const QString& path, const QByteArray& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.flush()
        || fsync(file.handle()) != 0)
        throw StoreError(QStringLiteral("Could not write %1.").arg(path), file.errorString());
}

} // namespace

BuildingFile::BuildingFile(const QString& path)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_name = QStringLiteral("%1.unfinished-%2")
                     .arg(path)
                     .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        const int fd = open(QFile::encodeName(m_name).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) {
            close(fd);
            return;
        }
        if (errno != EEXIST)
            break;
    }
    throw StoreError(QStringLiteral("Could not create a new file next to %1.").arg(path), systemError());
}

BuildingFile::~BuildingFile()
{
    if (!m_kept) {
        QFile::remove(m_name);
        QFile::remove(m_name + QStringLiteral("-journal"));
    }
}

void putInPlace(const QString& built, const QString& path, Existing existing)
{
    refuseExisting(path, existing); // again: something may have appeared while building
    const QByteArray from = QFile::encodeName(built);
    const QByteArray to = QFile::encodeName(path);
    const bool moved = existing == Existing::Refuse ? renameWithoutReplacing(from, to)
                                                    : std::rename(from.constData(), to.constData()) == 0;
    if (!moved)
        throw StoreError(QStringLiteral("Could not rename %1 to %2.").arg(built, path), systemError());
    syncFolder(QFileInfo(path).absolutePath());
}

void fillNewStore(Database& db, const QString& place, const std::function<void(Database&)>& fill)
{
    const QString attempt = QStringLiteral("Could not create the tables in %1.").arg(place);
    Connection& connection = db.connection();
    connection.run(QStringLiteral("begin"), {}, attempt);
    createTables(connection, attempt);
    if (fill)
        fill(db);
    connection.run(QStringLiteral("commit"), {}, attempt);
}

void createTables(Connection& connection, const QString& attempt)
{
    createTablesWithoutIndexes(connection, attempt);
    createIndexes(connection, attempt);
}

void createTablesWithoutIndexes(Connection& connection, const QString& attempt)
{
    for (const TableDescription* table : kAllTables) {
        QStringList fields;
        for (const FieldDescription& field : table->fields)
            fields << field.sqlName() + (field.kind == FieldKind::YesNo ? QStringLiteral(" integer") : QStringLiteral(" text"));
        fields << QLatin1String(kAppendKeyColumn) + QStringLiteral(" text");
        connection.run(QStringLiteral("create table %1 (%2%3)")
                           .arg(table->sqlName(), fields.join(QStringLiteral(", ")), connection.extraColumns()),
                       {}, attempt);
        for (const QString& statement : connection.keepRecordsStatements(table->sqlName()))
            connection.run(statement, {}, attempt);
    }
}

void createIndexes(Connection& connection, const QString& attempt)
{
    // Identities are short and unique: an ordinary B-tree on both engines. Records without one
    // (brought in by the setup tool) may be many, which a unique index allows.
    for (const TableDescription* table : kAllTables) {
        connection.run(QStringLiteral("create unique index %1By%2 on %1 (%2)").arg(table->sqlName(), QLatin1String(kAppendKeyColumn)),
                       {}, attempt);
    }
    for (const Index& index : kIndexes) {
        for (const QString& statement : connection.indexStatements(QLatin1String(index.name), index.table.sqlName(), index.fields))
            connection.run(statement, {}, attempt);
    }
}

void writeLinkFile(const QString& path, const QByteArray& uri, Existing existing)
{
    refuseExisting(path, existing);
    BuildingFile building(path);
    writeWhole(building.name(), linkFileText(uri));
    putInPlace(building.name(), path, existing);
    building.keep();
}

void replaceWithLinkFile(const QString& path, const QString& keptAs, const QByteArray& uri)
{
    BuildingFile building(path);
    writeWhole(building.name(), linkFileText(uri));
    keepAndReplace(path, keptAs, building.name());
    building.keep();
}

void keepAndReplace(const QString& path, const QString& keptAs, const QString& built)
{
    // The file gets its second name first and the new file then takes the first in one rename.
    if (link(QFile::encodeName(path).constData(), QFile::encodeName(keptAs).constData()) != 0)
        throw StoreError(QStringLiteral("Could not keep %1 as %2.").arg(path, keptAs), systemError());
    putInPlace(built, path, Existing::ReplaceRegularFile);
}

void refuseExisting(const QString& path, Existing existing)
{
    // A symbolic link counts even when it points nowhere: neither it nor its target is touched.
    const QFileInfo there(path);
    if (!there.exists() && !there.isSymLink())
        return;
    if (existing == Existing::ReplaceRegularFile && there.isFile() && !there.isSymLink())
        return;
    throw StoreError(existing == Existing::Refuse
                         ? QStringLiteral("%1 exists already.").arg(path)
                         : QStringLiteral("%1 exists already and is not a regular file; only a regular "
                                          "file is replaced.").arg(path),
                     QString());
}

void createDatabaseFile(const QString& path, const std::function<void(Database&)>& fill, Existing existing)
{
    refuseExisting(path, existing);
    BuildingFile building(path);
    buildTables(building.name(), fill);
    putInPlace(building.name(), path, existing);
    building.keep();
}

} // namespace vantorel::data
