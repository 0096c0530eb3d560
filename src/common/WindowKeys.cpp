#include "common/WindowKeys.h"

#include <QApplication>
#include <QPushButton>
#include <QShortcut>

namespace vantorel {

namespace {

QShortcut* windowShortcut(QWidget* window, QKeySequence keys)
{
    auto* shortcut = new QShortcut(keys, window);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    return shortcut;
}

void pressFocusedButtonOr(QWidget* window, QPushButton* fallback)
{
    auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
    if (focused && window->isAncestorOf(focused))
        focused->click();
    else if (takesKeys(fallback))
        fallback->click();
}

} // namespace

bool takesKeys(const QAbstractButton* button)
{
    return button->isVisible() && button->isEnabled();
}

void setDefaultButton(QWidget* window, QPushButton* button)
{
    button->setDefault(true);
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        QObject::connect(windowShortcut(window, QKeySequence(key)), &QShortcut::activated, button,
                         [window, button] { pressFocusedButtonOr(window, button); });
    }
}

void setCancelButton(QWidget* window, QPushButton* button)
{
    QObject::connect(windowShortcut(window, QKeySequence(Qt::Key_Escape)), &QShortcut::activated,
                     button, [button] {
                         if (takesKeys(button))
                             button->click();
                     });
}

void setTabOrderChain(std::initializer_list<QWidget*> widgets)
{
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace vantorel
