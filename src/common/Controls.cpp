#include "common/Controls.h"

#include "common/ValueLabel.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace vantorel {

QLabel* makeCaption(const QString& objectName, const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(objectName);
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
