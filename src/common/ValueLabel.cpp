#include "common/ValueLabel.h"

#include "common/ShownText.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace vantorel {

namespace {

// More characters than any label is wide; what lies beyond is never measured.
constexpr int kDrawnChars = 1000;
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

QString ValueLabel::shownText() const
{
    const int width = contentsRect().width() - 2 * margin() - 4;
    return fontMetrics().elidedText(firstLineShown(text(), kDrawnChars), Qt::ElideRight, width);
}

void ValueLabel::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect().adjusted(margin() + 2, margin(), -margin() - 2, -margin());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shownText());
}

bool ValueLabel::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QLabel::event(event);
    if (shownText() == text()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), toolTipShown(text()), this);
    return true;
}

} // namespace vantorel
