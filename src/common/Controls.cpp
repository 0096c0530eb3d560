#include "common/Controls.h"

#include "common/ListAccessible.h"
#include "common/MessageBox.h"
#include "common/ValueLabel.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace vantorel {

namespace {

// Every window is made of these controls, so what a screen reader hears of them is set up here,
// as the application starts.
void installScreenReaderInterfaces()
{
    QAccessible::installFactory(valueDisplayAccessible);
    QAccessible::installFactory(listAccessible);
    QAccessible::installFactory(messageAccessible);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installScreenReaderInterfaces)

QLabel* makeCaption(const QString& objectName, const QString& caption, QWidget* parent, QWidget* labelled)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(objectName);
    label->setBuddy(labelled);
    return label;
}

QLabel* makeValueLabel(const QString& objectName, QWidget* parent)
{
    auto* label = new ValueLabel(parent);
    label->setObjectName(objectName);
    return label;
}

QLineEdit* makeTextBox(const QString& objectName, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(objectName);
    // QLineEdit's default limit of 32767 characters would cut long entries silently.
    box->setMaxLength(std::numeric_limits<int>::max());
    return box;
}

QPushButton* makeButton(const QString& objectName, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

void makeRoomForTitle(QWidget* window, const QFont& titleFont)
{
    QFont bold = titleFont; // window managers often draw titles in bold
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    // An icon and up to three buttons, each about a line high, stand beside the title.
    const int needed = metrics.horizontalAdvance(window->windowTitle()) + 8 * metrics.height();
    window->resize(qMax(window->width(), needed), window->height());
}

QHBoxLayout* makeButtonRow(QPushButton* left, std::initializer_list<QPushButton*> right)
{
    auto* row = new QHBoxLayout;
    row->addWidget(left);
    row->addStretch();
    for (QPushButton* button : right)
        row->addWidget(button);
    return row;
}

} // namespace vantorel
