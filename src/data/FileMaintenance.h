#pragma once

#include <QString>
#include <QStringList>

namespace vantorel::data {

// What a check of a database file found: in plain words what is wrong and what to do about it,
// and the records each table holds.
struct FileCheck {
    QStringList problems;
    QStringList advice;
    qint64 users = 0;
    qint64 vehicles = 0;
    qint64 jobs = 0;
    bool isSound() const { return problems.isEmpty(); }
};

// Checks the SQLite database at `path`: SQLite's integrity_check, the three tables with every
// field the program reads, and the records in each.
FileCheck checkDatabaseFile(const QString& path);

// Writes a consistent copy of the database at `source` to `target` with SQLite's online backup,
// while programs may go on using `source`: the copy holds every record committed before it began.
// The copy is made under a temporary name beside `target` and renamed into place; an existing
// `target` is refused. Throws StoreError.
void backupDatabaseFile(const QString& source, const QString& target);

// Puts a checked copy in the place of the database at `path`, in one rename, so the next action
// of an open program already uses it; the file that was there is kept as `path`.before-restore
// (or .before-restore.2, .3... never replacing an earlier one). Refuses a copy that fails its
// check. Returns where the previous file was kept. Throws StoreError.
QString restoreDatabaseFile(const QString& copy, const QString& path);

} // namespace vantorel::data
