#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vantorel {

struct LoginIdentity;

// The window the program starts with: checks an employee ID and password against Person and, when
// both are right, opens the main window and closes itself.
class frmLogin : public QWidget {
    Q_OBJECT

public:
    explicit frmLogin(QWidget* parent = nullptr);

private slots:
    void cmdSubmit_Click();
    void cmdClear_Click();
    void cmdExit_Click();

private:
    void refuse(const QString& message, QLineEdit* focusBox);
    void openMainWindow(const LoginIdentity& identity);

    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* txtEmpID;
    QLineEdit* txtPassword;
    QPushButton* cmdExit;
    QPushButton* cmdClear;
    QPushButton* cmdSubmit;
};

} // namespace vantorel
