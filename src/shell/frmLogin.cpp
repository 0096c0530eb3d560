#include "shell/frmLogin.h"

#include "common/Controls.h"
#include "common/MessageBox.h"
#include "common/StoreAction.h"
#include "common/WindowKeys.h"
#include "data/Credentials.h"
#include "data/Database.h"
#include "shell/LoginIdentity.h"
#include "shell/frmMain.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace vantorel {

frmLogin::frmLogin(QWidget* parent)
    : QWidget(parent)
    , Label1(makeCaption(QStringLiteral("Label1"), tr("Employee ID"), this))
    , Label2(makeCaption(QStringLiteral("Label2"), tr("Password"), this))
    , txtEmpID(makeTextBox(QStringLiteral("txtEmpID"), this))
    , txtPassword(makeTextBox(QStringLiteral("txtPassword"), this))
    , cmdExit(makeButton(QStringLiteral("cmdExit"), tr("E&xit"), this))
    , cmdClear(makeButton(QStringLiteral("cmdClear"), tr("Clear"), this))
    , cmdSubmit(makeButton(QStringLiteral("cmdSubmit"), tr("Submit"), this))
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(tr("Enter your Employee ID and Password"));
    setAttribute(Qt::WA_DeleteOnClose);

    Label1->setBuddy(txtEmpID);
    Label2->setBuddy(txtPassword);
    txtPassword->setEchoMode(QLineEdit::Password);
    // The platform's own bullet would hide the "*" that users are told to expect.
    txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(txtEmpID, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(txtPassword, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdExit);
    buttons->addWidget(cmdClear);
    buttons->addWidget(cmdSubmit);
    grid->addLayout(buttons, 2, 0, 1, 2);
    txtEmpID->setMinimumWidth(200);

    setTabOrderChain({txtEmpID, txtPassword, cmdSubmit, cmdClear, cmdExit});
    setDefaultButton(this, cmdSubmit);
    setCancelButton(this, cmdExit);
    connect(cmdSubmit, &QPushButton::clicked, this, &frmLogin::cmdSubmit_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmLogin::cmdClear_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmLogin::cmdExit_Click);

    adjustSize();
    makeRoomForTitle(this, font());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    txtEmpID->setFocus();
}

void frmLogin::cmdSubmit_Click()
{
    std::optional<data::Person> person;
    const QString id = txtEmpID->text();
    if (!withStore(this, [&] { person = data::Database().firstPerson(id); }))
        return;
    if (!person) {
        data::spendVerificationTime(txtPassword->text());
        refuse(tr("Invalid ID Number."), txtEmpID);
        return;
    }
    if (!data::passwordMatches(person->password, txtPassword->text())) {
        refuse(tr("Invalid Password."), txtPassword);
        return;
    }
    openMainWindow(LoginIdentity{txtEmpID->text(), person->manager});
}

void frmLogin::refuse(const QString& message, QLineEdit* focusBox)
{
    showMessage(this, message);
    focusBox->setFocus();
}

void frmLogin::openMainWindow(const LoginIdentity& identity)
{
    auto* main = new frmMain(identity);
    main->show();
    close();
}

void frmLogin::cmdClear_Click()
{
    txtEmpID->clear();
    txtPassword->clear();
}

void frmLogin::cmdExit_Click()
{
    close();
}

} // namespace vantorel
