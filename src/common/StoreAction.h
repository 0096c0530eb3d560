#pragma once

#include "common/MessageBox.h"
#include "data/StoreError.h"

#include <functional>
#include <utility>

class QWidget;

namespace vantorel {

// Runs `action` on a thread of its own while the windows stay alive: a short action simply ends;
// one that takes longer keeps every window repainting, shows the wait cursor after half a second
// and lets no input reach any window until it ends (what the user does meanwhile is dropped, so
// a second click cannot start a second action). Whatever the action throws is thrown here. The
// action must touch no widget: it takes what it needs from them before, and shows its result after.
void runKeepingWindowsAlive(const std::function<void()>& action);

// Runs one action against the store. When the store fails, the user is told what went wrong and
// why, and the caller learns it through the result, so a failure never goes on as a success.
template <typename Action>
bool withStore(QWidget* window, Action&& action)
{
    try {
        runKeepingWindowsAlive(std::forward<Action>(action));
        return true;
    } catch (const data::StoreError& error) {
        showMessage(window, error.message());
        return false;
    }
}

} // namespace vantorel
