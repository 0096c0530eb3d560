#include "common/ClockText.h"

#include <QRegularExpression>

namespace vantorel {

QString shortDateText(const QDate& date, const QLocale& locale)
{
    // A two-digit year loses the century, and the earlier program's records carry four digits.
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    QString format = locale.dateFormat(QLocale::ShortFormat);
    format.replace(twoDigitYear, QStringLiteral("yyyy"));
    return locale.toString(date, format);
}

QString longTimeText(const QTime& time, const QLocale& locale)
{
    // Qt's long time formats carry the zone token "t", in some locales inside brackets of their
    // own; a stored job time carries no zone, so the token goes with its brackets and blanks.
    static const QRegularExpression zoneToken(
        QStringLiteral("\\s*(?:\\(\\s*t+\\s*\\)|（\\s*t+\\s*）|\\[\\s*t+\\s*\\]|\\bt+\\b)\\s*"),
        QRegularExpression::UseUnicodePropertiesOption);
    // A few formats name the day period with "B", which Qt prints as a letter; "AP" says the same.
    static const QRegularExpression dayPeriod(QStringLiteral("\\bB+(?=\\s*h)"));
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.replace(zoneToken, QStringLiteral(" "));
    format.replace(dayPeriod, QStringLiteral("AP"));
    return locale.toString(time, format.trimmed());
}

} // namespace vantorel
