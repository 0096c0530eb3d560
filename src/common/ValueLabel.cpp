#include "common/ValueLabel.h"

#include "common/ShownText.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace vantorel {

namespace {

// More characters than any label is wide; what lies beyond is never measured.
constexpr int kDrawnChars = 1000;
constexpr int kWidestValueChars = 24;

// The text of the caption that labels `display` (the label whose buddy it is), if any.
QString captionOf(const QWidget* display)
{
    const QWidget* window = display->parentWidget();
    for (const QLabel* caption : window ? window->findChildren<QLabel*>() : QList<QLabel*>()) {
        if (caption->buddy() == display)
            return caption->text();
    }
    return {};
}

// What a screen reader hears of a value display: its caption and the whole value, as a sighted
// user reads the two side by side, not the value alone.
class ValueDisplayAccessible : public QAccessibleWidget {
public:
    using ValueOf = QString (*)(const QWidget*);

    ValueDisplayAccessible(QWidget* display, ValueOf value)
        : QAccessibleWidget(display, QAccessible::StaticText)
        , m_value(value)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        const QString value = m_value(widget());
        switch (kind) {
        case QAccessible::Name: {
            const QString caption = captionOf(widget());
            if (caption.isEmpty() || value.isEmpty())
                return caption.isEmpty() ? value : caption;
            return QCoreApplication::translate("vantorel::ValueLabel", "%1: %2").arg(caption, value);
        }
        case QAccessible::Value:
            return value;
        default:
            return QAccessibleWidget::text(kind);
        }
    }

private:
    ValueOf m_value;
};

} // namespace

QAccessibleInterface* valueDisplayAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("vantorel::ValueLabel"))
        return new ValueDisplayAccessible(static_cast<QWidget*>(object),
            [](const QWidget* display) { return static_cast<const ValueLabel*>(display)->text(); });
    if (className == QLatin1String("vantorel::ValueView"))
        return new ValueDisplayAccessible(static_cast<QWidget*>(object),
            [](const QWidget* display) { return static_cast<const ValueView*>(display)->toPlainText(); });
    return nullptr;
}

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

ValueView::ValueView(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setTabChangesFocus(true);
    setFocusPolicy(Qt::ClickFocus);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The window's own colour, as every value label has, rather than the white of an entry box.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, colours.color(QPalette::Window));
    setPalette(colours);
    // A screen reader hears the new value, not the one it read first.
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    });
}

} // namespace vantorel
