#pragma once

#include <QString>

// The setup tool's care of an existing database file: each prints what it did or found and
// returns the exit status (0 when all is well).

// Writes a checked copy of `database` to `backup` while the program may be in use.
int backupCommand(const QString& database, const QString& backup);

// Puts the checked copy `backup` in the place of `database`, keeping the file that was there.
int restoreCommand(const QString& database, const QString& backup);

// Checks `database` and says in plain words what is wrong and what to do.
int checkCommand(const QString& database);
