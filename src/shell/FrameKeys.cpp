#include "shell/FrameKeys.h"

#include "common/WindowKeys.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcutEvent>

namespace vantorel {

FrameKeys::FrameKeys(QMainWindow* frame, QMdiArea* workspace)
    : QObject(frame)
    , m_frame(frame)
    , m_workspace(workspace)
{
    // Shortcut events go to whichever widget registered the key, so only the application sees
    // both contenders of an access key; the filter goes away with the frame.
    qApp->installEventFilter(this);
}

bool FrameKeys::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // A text box claims keys such as Ctrl+A and Ctrl+U for editing; the frame's commands win.
        if (isInFrame(watched) && menuCommandFor(*static_cast<QKeyEvent*>(event))) {
            event->ignore();
            return true;
        }
        return false;
    case QEvent::KeyPress:
        // The key of a command the role has not: nothing at all happens, the text stays as it was.
        return isInFrame(watched) && menuCommandFor(*static_cast<QKeyEvent*>(event)) == false;
    case QEvent::Shortcut:
        return isInFrame(watched) && routeAccessKey(watched, *static_cast<QShortcutEvent*>(event));
    default:
        return false;
    }
}

bool FrameKeys::isInFrame(QObject* watched) const
{
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget && widget->window() == m_frame;
}

std::optional<bool> FrameKeys::menuCommandFor(const QKeyEvent& keys) const
{
    const QKeySequence pressed(keys.keyCombination());
    for (const QAction* command : m_frame->menuBar()->findChildren<QAction*>()) {
        if (!command->shortcut().isEmpty() && command->shortcut() == pressed)
            return command->isEnabled();
    }
    return std::nullopt;
}

bool FrameKeys::routeAccessKey(QObject* watched, const QShortcutEvent& event) const
{
    if (QAbstractButton* button = activeChildButton(event.key())) {
        if (watched != button || event.isAmbiguous()) {
            button->animateClick();
            return true;
        }
        return false;
    }
    return watched == m_frame->menuBar() && belongsToHiddenMenu(event.key());
}

QAbstractButton* FrameKeys::activeChildButton(const QKeySequence& accessKey) const
{
    const QMdiSubWindow* active = m_workspace->activeSubWindow();
    if (!active || !active->widget())
        return nullptr;
    for (QAbstractButton* button : active->widget()->findChildren<QAbstractButton*>()) {
        if (takesKeys(button) && QKeySequence::mnemonic(button->text()) == accessKey)
            return button;
    }
    return nullptr;
}

bool FrameKeys::belongsToHiddenMenu(const QKeySequence& accessKey) const
{
    for (const QAction* menu : m_frame->menuBar()->actions()) {
        if (!menu->isVisible() && QKeySequence::mnemonic(menu->text()) == accessKey)
            return true;
    }
    return false;
}

} // namespace vantorel
