#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace vantorel::data {

// Vantorel.mdb is either the SQLite database itself or, for a shop on a server, a link file: one
// line of UTF-8 holding a PostgreSQL connection URI ("postgresql://host:port/db?user=...",
// "postgresql:///db?service=NAME"). An SQLite file begins with "SQLite format 3", so the two can
// never be taken for each other.

// The URI when the file at `path` is a link file; nothing for any other file or none at all.
std::optional<QByteArray> linkTarget(const QString& path);

// Refuses (StoreError) a URI libpq cannot read, and one holding a password, which belongs in
// libpq's password file. The message never repeats the URI, which may hold that password.
void checkLinkTarget(const QByteArray& uri);

// Whether the file at `path` is a Jet database, as the earlier program kept Vantorel.mdb (Jet 3
// or Jet 4, or Access's later ACE form). Such a file is converted once by the setup tool.
bool isJetFile(const QString& path);

// Refuses (StoreError) a Jet file at `path`, saying which command converts it.
void refuseJetFile(const QString& path);

// `uri` with the user `role` in place of the one it names, every other setting kept.
QByteArray uriAsRole(const QByteArray& uri, const QString& role);

// Whether a link file naming `uri` leaves the server unverified: a host other than this machine
// reached without sslmode=verify-full, so that anyone between could pose as the server.
bool verifiesNoServer(const QByteArray& uri);

// The text of a link file for `uri`.
QByteArray linkFileText(const QByteArray& uri);

} // namespace vantorel::data
