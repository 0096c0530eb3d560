#pragma once

#include <QString>

class QWidget;

namespace vantorel {

// The object name every message box carries, so tests can find, read and answer the open one.
inline constexpr auto kMessageBoxObjectName = "vantorelMessage";

// Every message of the program: a modal box titled "Vantorel", the text, an OK button, no icon.
// Returns once the user has closed it.
void showMessage(QWidget* parent, const QString& text);

} // namespace vantorel
