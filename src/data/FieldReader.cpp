#include "data/FieldReader.h"

#include "data/StoreError.h"

#include <QSqlRecord>

namespace vantorel::data {

FieldReader::FieldReader(const QSqlQuery& query, const QString& table, const QStringList& fieldNames)
    : m_query(query)
{
    const QSqlRecord record = query.record();
    m_indexes.reserve(fieldNames.size());
    for (const QString& name : fieldNames) {
        const int index = record.indexOf(name);
        if (index < 0) {
            throw StoreError(QStringLiteral("The table %1 in Vantorel.mdb has no field %2.").arg(table, name),
                             QString());
        }
        m_indexes.append(index);
    }
}

QString FieldReader::text(int field) const
{
    return m_query.value(m_indexes.at(field)).toString();
}

bool FieldReader::isYes(int field) const
{
    return isYesValue(m_query.value(m_indexes.at(field)));
}

bool FieldReader::isNull(int field) const
{
    return m_query.isNull(m_indexes.at(field));
}

bool isYesValue(const QVariant& value)
{
    if (value.isNull())
        return false;
    return yesWords().contains(value.toString().trimmed().toLower());
}

const QStringList& yesWords()
{
    static const QStringList words = {QStringLiteral("1"), QStringLiteral("-1"), QStringLiteral("true"),
                                      QStringLiteral("yes")};
    return words;
}

QVariant textValue(const QString& text)
{
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

} // namespace vantorel::data
