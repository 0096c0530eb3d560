#include "shell/frmLogin.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantorel"));
    auto* login = new vantorel::frmLogin;
    login->show();
    return QApplication::exec();
}
