#include "shell/frmLogin.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantorel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/shell/van.png")));
    auto* login = new vantorel::frmLogin;
    login->show();
    return QApplication::exec();
}
