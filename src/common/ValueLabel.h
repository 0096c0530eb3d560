#pragma once

#include <QLabel>
#include <QPlainTextEdit>

class QAccessibleInterface;

namespace vantorel {

// A read-only display of one stored value on one line, drawn with a single-line border. It keeps
// the whole value as its text, yet never measures or lays it out whole: its size does not follow
// the value, a value too long for it ends in "…", and the tool tip shows more of it. So a value of
// megabytes costs no more to show than a short one. A screen reader reads it with its caption
// and its whole value ("Make: Ford").
class ValueLabel : public QLabel {
    Q_OBJECT

public:
    explicit ValueLabel(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // What the label shows of its value: the first line, as much as fits, ending in "…" when cut.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

// A tall value label: long text wraps onto further lines and scrolls (with the wheel, and with
// the keys once clicked), drawn like a value label and, like one, no stop of the Tab key. A
// screen reader reads it with its caption and its whole value.
class ValueView : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit ValueView(QWidget* parent = nullptr);
};

// The screen-reader interfaces of both displays; a factory for QAccessible::installFactory.
QAccessibleInterface* valueDisplayAccessible(const QString& className, QObject* object);

} // namespace vantorel
