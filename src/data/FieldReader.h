#pragma once

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVector>

namespace vantorel::data {

// Reads a query's fields by name. The names are looked up once, so a long listing pays for them
// once; a field the table lacks is reported as a StoreError instead of being read as empty.
class FieldReader {
public:
    FieldReader(const QSqlQuery& query, const QString& table, const QStringList& fieldNames);

    // The field's value as text; a field that holds no value gives empty text.
    QString text(int field) const;
    // The yes/no value of the field: True, Yes, 1 or -1 in any letter case count as yes.
    bool isYes(int field) const;
    bool isNull(int field) const;

private:
    const QSqlQuery& m_query;
    QVector<int> m_indexes;
};

// Turns a stored yes/no value (a number or a word) into a flag.
bool isYesValue(const QVariant& value);

// The stored forms of yes, in lower case and without blanks: 1, -1, true and yes.
const QStringList& yesWords();

// Qt binds a null QString as SQL NULL; the program hands an empty entry to the store as empty text.
QVariant textValue(const QString& text);

} // namespace vantorel::data
