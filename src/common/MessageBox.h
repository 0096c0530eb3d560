#pragma once

#include <QString>

class QAccessibleInterface;
class QObject;
class QWidget;

namespace vantorel {

// The object names every message box and its parts carry, so tests can find, read and answer
// the open one.
inline constexpr auto kMessageBoxObjectName = "vantorelMessage";
inline constexpr auto kMessageTextObjectName = "lblMessage";
inline constexpr auto kMessageOkObjectName = "cmdOK";

// Every message of the program: a plain modal box titled "Vantorel" with the text, wrapped at a
// readable width, and an OK button; no icon. Returns once the user has closed it.
void showMessage(QWidget* parent, const QString& text);

// A value the user typed or the store holds, as a message quotes it: its first line, cut with
// "…" when long, so no entry can make a box taller or wider than the screen.
QString quotedValue(const QString& value);

// Screen readers announce a message box as an alert, with its text; a factory for
// QAccessible::installFactory.
QAccessibleInterface* messageAccessible(const QString& className, QObject* object);

} // namespace vantorel
