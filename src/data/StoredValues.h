#pragma once

#include <QString>
#include <QVariant>

namespace vantorel::data {

// The one reading of a stored yes/no value, used for the Manager field by the log-in, the
// report's Manager column and its "Manager?" criterion alike, so they can never disagree.
// Yes: the numbers 1 and -1 (stored as whole or real numbers), and the words yes, true, 1 and -1
// in any letter case with any white space around them (stored as text, or as a blob of text).
// Everything else, no value included, is no.
bool isYesValue(const QVariant& value);

// An entry, null or empty, as the store receives it: always text, never no value.
QVariant textValue(const QString& text);

} // namespace vantorel::data
