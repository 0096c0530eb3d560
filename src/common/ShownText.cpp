#include "common/ShownText.h"

#include <QRegularExpression>

namespace vantorel {

namespace {

// A tool tip of this many characters still opens at once and fits a screen.
constexpr int kToolTipChars = 2000;

QString cutAt(const QString& value, qsizetype length)
{
    if (length >= value.size())
        return value;
    if (length > 0 && value.at(length - 1).isHighSurrogate())
        --length;
    return value.left(length) + QStringLiteral("…");
}

} // namespace

QString firstLineShown(const QString& value, int limit)
{
    static const QRegularExpression lineBreak(QStringLiteral("[\\r\\n\\x{2028}\\x{2029}]"));
    const qsizetype lineEnd = QStringView(value).left(qsizetype(limit) + 1).indexOf(lineBreak);
    return cutAt(value, qMin(lineEnd < 0 ? value.size() : lineEnd, qsizetype(limit)));
}

QString toolTipShown(const QString& value)
{
    // As rich text the tip wraps its lines instead of running off the screen.
    return QStringLiteral("<p>%1</p>").arg(cutAt(value, kToolTipChars).toHtmlEscaped());
}

} // namespace vantorel
