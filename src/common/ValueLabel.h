#pragma once

#include <QLabel>

namespace vantorel {

// A read-only display of one stored value on one line, drawn with a single-line border. It keeps
// the whole value as its text, yet never measures or lays it out whole: its size does not follow
// the value, a value too long for it ends in "…", and the tool tip shows more of it. So a value of
// megabytes costs no more to show than a short one.
class ValueLabel : public QLabel {
    Q_OBJECT

public:
    explicit ValueLabel(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QString shownText() const;
};

} // namespace vantorel
