#pragma once

#include <QString>

#include <initializer_list>

class QFont;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace vantorel {

// The small factories every window uses, so that a control's name, object name and look agree.

// A plain caption label, such as Label1 "Vehicle Number". A caption beside a control labels it
// (as its buddy), so a screen reader names the control by the caption.
QLabel* makeCaption(const QString& objectName, const QString& caption, QWidget* parent, QWidget* labelled = nullptr);

// A read-only display of a stored value on one line, drawn with a single-line border; a long
// value ends in "…" and shows more in its tool tip.
QLabel* makeValueLabel(const QString& objectName, QWidget* parent);

// An empty, editable single-line text box with no length limit.
QLineEdit* makeTextBox(const QString& objectName, QWidget* parent);

QPushButton* makeButton(const QString& objectName, const QString& caption, QWidget* parent);

// Widens `window` where its title would otherwise be cut in a title bar drawn in `titleFont`,
// which also holds the window's icon and its buttons.
void makeRoomForTitle(QWidget* window, const QFont& titleFont);

// A row of buttons along the bottom of a window: `left` at the left edge, the `right` ones, in
// the order given, at the right.
QHBoxLayout* makeButtonRow(QPushButton* left, std::initializer_list<QPushButton*> right);

} // namespace vantorel
