#pragma once

#include "data/Records.h"

#include <QString>
#include <QVariantList>

struct sqlite3;
struct sqlite3_stmt;

namespace vantorel::data {

class Database;
class TextColumn;

// Reads the rows of one select straight from SQLite, one at a time, making a QString only for
// the fields asked for. Every read of the program goes through it, so a listing of a hundred
// thousand records costs little more than the store's own scan. Values are bound to "?"
// placeholders, a StoredValue (wrapped with QVariant::fromValue) as exactly the kind and bytes
// it holds; any failure of the store is thrown as a StoreError carrying `attempt`.
class RowScan {
public:
    RowScan(Database& db, const QString& sql, const QVariantList& values, const QString& attempt);
    ~RowScan();
    RowScan(const RowScan&) = delete;
    RowScan& operator=(const RowScan&) = delete;

    // The position of a field of the result by name; a field the table lacks is a StoreError.
    int field(const QString& table, const QString& name) const;

    // Moves to the next row; false past the last one.
    bool next();

    // The field's value as text: a text as stored, a number in decimal digits, no value as
    // empty text.
    QString text(int field) const;
    // Appends the field's text (as text() gives it) to a listing's column, without a QString.
    void appendText(int field, TextColumn& column) const;
    bool isNull(int field) const;
    // The field as the store holds it. Read it before text(): asking for text converts a number.
    StoredValue stored(int field) const;
    // The yes/no value of the field (see isYesValue).
    bool isYes(int field) const;

private:
    [[noreturn]] void fail() const;

    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
    QString m_attempt;
};

} // namespace vantorel::data
