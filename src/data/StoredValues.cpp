#include "data/StoredValues.h"

#include <algorithm>
#include <array>

namespace vantorel::data {

namespace {

bool isYesWord(const QString& text)
{
    // Letter case is folded for ASCII only: a word that merely folds to "yes" is not one.
    const QByteArray word = text.trimmed().toUtf8().toLower();
    constexpr std::array kWords = {"yes", "true", "1", "-1"};
    return std::any_of(kWords.begin(), kWords.end(), [&](const char* yes) { return word == yes; });
}

} // namespace

bool isYesValue(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::LongLong: {
        const qint64 number = value.toLongLong();
        return number == 1 || number == -1;
    }
    case QMetaType::Double:
        return value.toDouble() == 1.0 || value.toDouble() == -1.0;
    case QMetaType::QString:
        return isYesWord(value.toString());
    case QMetaType::QByteArray:
        return isYesWord(QString::fromUtf8(value.toByteArray()));
    default:
        return false;
    }
}

QVariant textValue(const QString& text)
{
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

} // namespace vantorel::data
