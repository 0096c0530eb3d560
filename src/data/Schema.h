#pragma once

#include <QString>

#include <functional>

namespace vantorel::data {

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

} // namespace vantorel::data
