#pragma once

#include "data/Records.h"

#include <QString>

#include <string_view>

namespace vantorel::data {

class TextColumn;

// The rows of one select, read one at a time, making a QString only for the fields asked for.
// Every read of the program goes through it, so a listing of a hundred thousand records costs
// little more than the store's own scan. Each engine reads its results its own way behind it;
// any failure of the store is thrown as a StoreError.
class RowScan {
public:
    virtual ~RowScan() = default;

    // The position of a field of the result by name; a field the table lacks is a StoreError.
    virtual int field(const QString& table, const QString& name) const = 0;

    // How many fields each row of the result has.
    virtual int fieldCount() const = 0;

    // Moves to the next row; false past the last one.
    virtual bool next() = 0;

    // The field's value as text: a text as stored, a number in decimal digits, no value as
    // empty text.
    virtual QString text(int field) const = 0;
    // Appends the field's text (as text() gives it) to a listing's column, without a QString.
    virtual void appendText(int field, TextColumn& column) const = 0;
    // The field's text (as text() gives it) as UTF-8 bytes, valid until the next row.
    virtual std::string_view utf8(int field) const = 0;
    virtual bool isNull(int field) const = 0;
    // The field as the store holds it. Read it before text(): asking for text may convert it.
    virtual StoredValue stored(int field) const = 0;

    // The yes/no value of the field (see isYesValue).
    bool isYes(int field) const;
};

} // namespace vantorel::data
