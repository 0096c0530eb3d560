#pragma once

#include <QObject>

#include <optional>

class QAbstractButton;
class QKeyEvent;
class QMainWindow;
class QMdiArea;
class QShortcutEvent;

namespace vantorel {

// Settles which control of the frame a key belongs to, where Qt alone would guess:
// - an access key (Alt+letter) presses the active child window's own button before the menu bar
//   opens a menu with that letter, and a hidden menu takes no letter at all;
// - a shortcut of the frame's menus acts from anywhere in the frame, a text box included, for the
//   role whose menu holds it; for the other role the key does nothing at all.
class FrameKeys : public QObject {
public:
    FrameKeys(QMainWindow* frame, QMdiArea* workspace);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isInFrame(QObject* watched) const;
    bool routeAccessKey(QObject* watched, const QShortcutEvent& event) const;
    // The enabled state of the frame's menu command bound to these keys, when there is one.
    std::optional<bool> menuCommandFor(const QKeyEvent& keys) const;
    QAbstractButton* activeChildButton(const QKeySequence& accessKey) const;
    bool belongsToHiddenMenu(const QKeySequence& accessKey) const;

    QMainWindow* m_frame;
    QMdiArea* m_workspace;
};

} // namespace vantorel
