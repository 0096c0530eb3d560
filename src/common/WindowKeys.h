#pragma once

#include <initializer_list>

class QAbstractButton;
class QPushButton;
class QWidget;

namespace vantorel {

// Whether a key may press the button: one the user can see and use, never a disabled or hidden one.
bool takesKeys(const QAbstractButton* button);

// Enter anywhere in the window presses this button, unless another button has the focus, which
// Enter then presses instead (the way a dialog's default button behaves, for child windows too).
void setDefaultButton(QWidget* window, QPushButton* button);

// Esc anywhere in the window presses this button.
void setCancelButton(QWidget* window, QPushButton* button);

// Chains the keyboard focus through the widgets in the order given.
void setTabOrderChain(std::initializer_list<QWidget*> widgets);

} // namespace vantorel
