#include "common/Controls.h"

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
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(160);
    // A long stored value must not widen the window; it is cut at the label's edge instead.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    label->setMinimumHeight(label->fontMetrics().height() + 8);
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
