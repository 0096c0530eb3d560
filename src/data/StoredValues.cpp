#include "data/StoredValues.h"

namespace vantorel::data {

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
