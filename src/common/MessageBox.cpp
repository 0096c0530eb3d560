#include "common/MessageBox.h"

#include "common/ShownText.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace vantorel {

namespace {

// Long enough to read a value by, short enough for one line of any box.
constexpr int kLongestQuotedValue = 60;
// Lines wrap at about this many characters, the width of a comfortable paragraph.
constexpr int kReadableLineChars = 60;
// Room for the title between the buttons a window manager draws beside it.
constexpr int kNarrowestBoxChars = 36;

QLabel* messageText(const QString& text, QWidget* box)
{
    auto* label = new QLabel(text, box);
    label->setObjectName(QString::fromLatin1(kMessageTextObjectName));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // As wide as its longest line, within a readable width: a wrapped label left to the layout
    // would take its narrowest width and wrap every few words.
    const QFontMetrics metrics = label->fontMetrics();
    int longestLine = 0;
    for (const QString& line : text.split(u'\n'))
        longestLine = std::max(longestLine, metrics.horizontalAdvance(line));
    const int charWidth = metrics.averageCharWidth();
    label->setFixedWidth(std::clamp(longestLine + charWidth, kNarrowestBoxChars * charWidth,
                                    kReadableLineChars * charWidth));
    return label;
}

// A screen reader announces an alert with its text as soon as it opens, as it does a system
// message box; the title alone, "Vantorel", would tell the listener nothing.
class MessageAccessible : public QAccessibleWidget {
public:
    explicit MessageAccessible(QWidget* box)
        : QAccessibleWidget(box, QAccessible::AlertMessage)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Description)
            return QAccessibleWidget::text(kind);
        const auto* message = widget()->findChild<QLabel*>(QString::fromLatin1(kMessageTextObjectName));
        return message ? message->text() : QString();
    }
};

// A plain dialog rather than QMessageBox: no style icon on OK, and no minimise or maximise
// buttons crowding the title out of the window manager's title bar.
class MessageDialog : public QDialog {
    Q_OBJECT

public:
    explicit MessageDialog(QWidget* parent)
        : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    {
    }
};

QPushButton* okButton(QDialog* box)
{
    auto* ok = new QPushButton(QStringLiteral("OK"), box);
    ok->setObjectName(QString::fromLatin1(kMessageOkObjectName));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, box, &QDialog::accept);
    return ok;
}

} // namespace

QAccessibleInterface* messageAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("vantorel::MessageDialog"))
        return new MessageAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

void showMessage(QWidget* parent, const QString& text)
{
    MessageDialog box(parent);
    box.setObjectName(QString::fromLatin1(kMessageBoxObjectName));
    box.setWindowTitle(QStringLiteral("Vantorel"));
    box.setModal(true);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(messageText(text, &box));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* ok = okButton(&box);
    buttons->addWidget(ok);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ok->setFocus();
    // Once the box is on show, screen readers are told an alert has opened.
    QTimer::singleShot(0, &box, [&box] {
        QAccessibleEvent opened(&box, QAccessible::Alert);
        QAccessible::updateAccessibility(&opened);
    });
    box.exec();
}

QString quotedValue(const QString& value)
{
    return firstLineShown(value, kLongestQuotedValue);
}

} // namespace vantorel

#include "MessageBox.moc"
