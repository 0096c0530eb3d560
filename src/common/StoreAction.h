#pragma once

#include "common/MessageBox.h"
#include "data/StoreError.h"

#include <utility>

class QWidget;

namespace vantorel {

// Runs one action against the store. When the store fails, the user is told what went wrong and
// why, and the caller learns it through the result, so a failure never goes on as a success.
template <typename Action>
bool withStore(QWidget* window, Action&& action)
{
    try {
        std::forward<Action>(action)();
        return true;
    } catch (const data::StoreError& error) {
        showMessage(window, error.message());
        return false;
    }
}

} // namespace vantorel
