#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace vantorel {

// Today's date in the regional short-date form with a four-digit year, e.g. 6/30/2024 under
// United States settings.
QString shortDateText(const QDate& date, const QLocale& locale = QLocale::system());

// A time of day in the regional long-time form with seconds but without a time-zone name,
// e.g. 2:35:07 PM under United States settings.
QString longTimeText(const QTime& time, const QLocale& locale = QLocale::system());

} // namespace vantorel
