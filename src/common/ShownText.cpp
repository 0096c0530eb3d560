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

bool isLineBreak(QChar character)
{
    return character == u'\n' || character == u'\r' || character == QChar::LineSeparator
        || character == QChar::ParagraphSeparator;
}

} // namespace

QString firstLineShown(const QString& value, int limit)
{
    static const QRegularExpression lineBreak(QStringLiteral("[\\r\\n\\x{2028}\\x{2029}]"));
    const qsizetype lineEnd = QStringView(value).left(qsizetype(limit) + 1).indexOf(lineBreak);
    return cutAt(value, qMin(lineEnd < 0 ? value.size() : lineEnd, qsizetype(limit)));
}

QString inViewableLines(const QString& value, int longest)
{
    QString lines;
    lines.reserve(value.size() + value.size() / longest + 1);
    qsizetype lineStart = 0;
    qsizetype lastBlank = -1;
    for (qsizetype at = 0; at < value.size(); ++at) {
        const QChar character = value.at(at);
        if (isLineBreak(character)) {
            lineStart = at + 1;
            lastBlank = -1;
        } else if (at - lineStart >= longest && !character.isLowSurrogate()) {
            // Break after the line's last blank when there is one, else right here.
            const qsizetype breakAt = lastBlank > lineStart ? lastBlank + 1 : at;
            lines.insert(lines.size() - (at - breakAt), u'\n');
            lineStart = breakAt;
            lastBlank = -1;
        } else if (character.isSpace()) {
            lastBlank = at;
        }
        lines.append(character);
    }
    return lines;
}

QString toolTipShown(const QString& value)
{
    // As rich text the tip wraps its lines instead of running off the screen.
    return QStringLiteral("<p>%1</p>").arg(cutAt(value, kToolTipChars).toHtmlEscaped());
}

} // namespace vantorel
