#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace vantorel {

// The modal About box: the fleet picture, the version and the notices. Only OK closes it; the
// window has no cancel button, so Esc does nothing.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void cmdOK_Click();

private:
    QLabel* Image1;
    QLabel* Label3;
    QPushButton* cmdOK;
    QLabel* Label2;
    QLabel* Label4;
    QLabel* Label1;
};

} // namespace vantorel
