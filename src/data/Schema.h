#pragma once

#include <QString>

namespace vantorel::data {

// Creates a new database file at `path` holding the empty tables Person, Vehicle and Servicing
// and their look-up indexes. Refuses (StoreError) when the file exists already. Only the setup
// tool and the tests create files; the program itself never does.
void createDatabaseFile(const QString& path);

} // namespace vantorel::data
