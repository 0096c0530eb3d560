#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace vantorel {

// Rows as a CSV file a spreadsheet opens as it stands: comma-separated fields in the RFC 4180 way
// (a field with a comma, quote or line break in double quotes, quotes doubled, lines ended by
// CR LF), UTF-8 with a byte-order mark, the titles as the first row. `row(k)` gives row k's fields.
QByteArray csvFile(const QStringList& titles, qsizetype rows, const std::function<QStringList(qsizetype)>& row);

// One field as the file holds it. A value a spreadsheet would run as a formula (one starting with
// "=", "+", "-", "@", a tab or a carriage return) gets a leading apostrophe, so it stays text; so
// does one that starts with an apostrophe itself, so that taking one leading apostrophe off
// (as vantorel-setup --import-csv does) always gives the value back.
QString csvField(const QString& value);

} // namespace vantorel
