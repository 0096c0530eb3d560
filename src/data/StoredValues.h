#pragma once

#include <QString>
#include <QVariant>
#include <QStringList>

namespace vantorel::data {

// Turns a stored yes/no value (a number or a word) into a flag.
bool isYesValue(const QVariant& value);

// The stored forms of yes, in lower case and without blanks: 1, -1, true and yes.
const QStringList& yesWords();

// Qt binds a null QString as SQL NULL; the program hands an empty entry to the store as empty text.
QVariant textValue(const QString& text);

} // namespace vantorel::data
