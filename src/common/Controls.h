#pragma once

#include <QString>

#include <initializer_list>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace vantorel {

// The small factories every window uses, so that a control's name, object name and look agree.

// A plain caption label, such as Label1 "Vehicle Number".
QLabel* makeCaption(const QString& objectName, const QString& caption, QWidget* parent);

// A read-only display of a stored value, drawn with a single-line border.
QLabel* makeValueLabel(const QString& objectName, QWidget* parent);

// An empty, editable single-line text box with no length limit.
QLineEdit* makeTextBox(const QString& objectName, QWidget* parent);

QPushButton* makeButton(const QString& objectName, const QString& caption, QWidget* parent);

// A row of buttons along the bottom of a window: `left` at the left edge, the `right` ones, in
// the order given, at the right.
QHBoxLayout* makeButtonRow(QPushButton* left, std::initializer_list<QPushButton*> right);

} // namespace vantorel
