#pragma once

#include <QString>

#include <functional>

namespace vantorel::data {

class Connection;
class Database;

// What to do when something is already at the new file's name.
enum class Existing { Refuse, ReplaceRegularFile };

// Refuses (StoreError) when something is at `path` that creation would not replace; lets a tool
// say so before it asks for anything.
void refuseExisting(const QString& path, Existing existing);

// Creates a new database file at `path` holding the tables Person, Vehicle and Servicing, their
// look-up indexes and whatever `fill` adds. The file is built under a temporary name in the same
// folder, in one transaction, and only then renamed to `path`: stopped at any moment, creation
// leaves nothing at `path`, and on a failure it removes its temporary file. Anything already at
// `path` (a dangling symbolic link included) is left alone and refused (StoreError), except a
// regular file with Existing::ReplaceRegularFile, which the rename replaces. Only the setup tool,
// the benchmark and the tests create files; the program itself never does.
void createDatabaseFile(const QString& path, const std::function<void(Database&)>& fill = {},
                        Existing existing = Existing::Refuse);

// A new, empty file beside `path`, under a name no other file has, with the permissions a new file
// gets here: where a file is made before it is put in place. Removed, with any journal of its
// own, unless it was kept.
class BuildingFile {
public:
    explicit BuildingFile(const QString& path);
    ~BuildingFile();
    BuildingFile(const BuildingFile&) = delete;
    BuildingFile& operator=(const BuildingFile&) = delete;

    const QString& name() const { return m_name; }
    void keep() { m_kept = true; }

private:
    QString m_name;
    bool m_kept = false;
};

// Renames the finished file `built` to `path` (refusing what `existing` refuses, checked again
// now) and makes the new name last through a power cut.
void putInPlace(const QString& built, const QString& path, Existing existing);

// In one transaction on a new, empty store: the tables, their indexes and whatever `fill` adds.
// `place` names the store in a failure's message.
void fillNewStore(Database& db, const QString& place, const std::function<void(Database&)>& fill);

// Creates the tables Person, Vehicle and Servicing with their look-up indexes, on either engine:
// every field text but the yes/no Manager flag (0 or 1); on the server, an identity column after them
// that keeps the order in which records were stored.
void createTables(Connection& connection, const QString& attempt);

// The two halves of createTables, for a tool that fills a new store in bulk: records go in faster
// before the indexes exist.
void createTablesWithoutIndexes(Connection& connection, const QString& attempt);
void createIndexes(Connection& connection, const QString& attempt);

// Puts a link file naming the server at `path`, whole or not at all, as createDatabaseFile does.
void writeLinkFile(const QString& path, const QByteArray& uri, Existing existing = Existing::Refuse);

// Renames the file at `path` to `keptAs` (never replacing anything there) and puts a link file
// naming the server in its place.
void replaceWithLinkFile(const QString& path, const QString& keptAs, const QByteArray& uri);

// Gives the file at `path` the second name `keptAs` (never replacing anything there) and puts the
// finished file `built` at `path` in one rename: stopped at any moment, the folder still has a
// file at `path`, the old one or the new.
void keepAndReplace(const QString& path, const QString& keptAs, const QString& built);

} // namespace vantorel::data
