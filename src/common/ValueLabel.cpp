#include "common/ValueLabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStyle>
#include <QToolTip>

namespace vantorel {

namespace {

// More characters than any label is wide; what lies beyond is never measured.
constexpr int kDrawnChars = 1000;
// A tool tip of this many characters still opens at once and fits a screen.
constexpr int kToolTipChars = 2000;
constexpr int kWidestValueChars = 24;

} // namespace

ValueLabel::ValueLabel(QWidget* parent)
    : QLabel(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize ValueLabel::sizeHint() const
{
    const int frame = 2 * frameWidth() + 2 * margin() + 8;
    return {kWidestValueChars * fontMetrics().averageCharWidth() + frame, fontMetrics().height() + frame};
}

QSize ValueLabel::minimumSizeHint() const
{
    return sizeHint();
}

QString ValueLabel::firstLine(const QString& value, int limit, bool* cut)
{
    static const QRegularExpression lineBreak(QStringLiteral("[\\r\\n\\x{2028}\\x{2029}]"));
    const qsizetype searched = qMin(value.size(), qsizetype(limit) + 1);
    const qsizetype lineEnd = QStringView(value).left(searched).indexOf(lineBreak);
    qsizetype length = qMin(lineEnd < 0 ? searched : lineEnd, qsizetype(limit));
    if (length > 0 && length < value.size() && value.at(length - 1).isHighSurrogate())
        --length;
    if (cut)
        *cut = length < value.size();
    return value.left(length);
}

QString ValueLabel::shownText(bool* elided) const
{
    bool cut = false;
    const QString line = firstLine(text(), kDrawnChars, &cut);
    const int width = contentsRect().width() - 2 * margin() - 4;
    const QString fitted = fontMetrics().elidedText(cut ? line + QStringLiteral("…") : line, Qt::ElideRight, width);
    *elided = cut || fitted != line;
    return fitted;
}

void ValueLabel::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    drawFrame(&painter);
    bool elided = false;
    const QRect area = contentsRect().adjusted(margin() + 2, margin(), -margin() - 2, -margin());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shownText(&elided));
}

bool ValueLabel::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QLabel::event(event);
    bool elided = false;
    shownText(&elided);
    if (!elided) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // As rich text the tip wraps its lines instead of running off the screen.
    const QString tip = text().left(kToolTipChars).toHtmlEscaped()
        + (text().size() > kToolTipChars ? QStringLiteral("…") : QString());
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), QStringLiteral("<p>%1</p>").arg(tip), this);
    return true;
}

} // namespace vantorel
