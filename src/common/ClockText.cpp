#include "common/ClockText.h"

#include <QRegularExpression>

namespace vantorel {

QString shortDateText(const QDate& date, const QLocale& locale)
{
    return locale.toString(date, QLocale::ShortFormat);
}

QString longTimeText(const QTime& time, const QLocale& locale)
{
    // Qt's long time formats end in the zone token "t"; a stored job time carries no zone.
    static const QRegularExpression zoneToken(QStringLiteral("\\s*\\bt+\\b\\s*"));
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.replace(zoneToken, QStringLiteral(" "));
    return locale.toString(time, format.trimmed());
}

} // namespace vantorel
