#pragma once

#include <QStringList>

namespace vantorel::test {

// Records the text of every SQL statement any connection of this process runs, as the program
// prepared it (placeholders, not values): SQLite's own trace, or the server's log of every
// statement on the server engine. Lets a test prove that no typed value ever becomes part of a
// statement's text. Only one log may exist at a time.
class StatementLog {
public:
    StatementLog();
    ~StatementLog();
    StatementLog(const StatementLog&) = delete;
    StatementLog& operator=(const StatementLog&) = delete;

    QStringList statements() const;

private:
    QStringList serverStatements() const;
    qint64 m_serverLogStart = -1; // where this log begins in the server's, on the server engine
};

} // namespace vantorel::test
