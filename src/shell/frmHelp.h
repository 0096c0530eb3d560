#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace vantorel {

// The help text in an editable box; whatever is typed into it is gone when the window closes.
class frmHelp : public QWidget {
    Q_OBJECT

public:
    explicit frmHelp(QWidget* parent = nullptr);

    // The fixed help text, lines ending in carriage return and line feed.
    static QString helpText();

    QSize sizeHint() const override;

private:
    QPlainTextEdit* Text1;
};

} // namespace vantorel
