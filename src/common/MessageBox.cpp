#include "common/MessageBox.h"

#include <QMessageBox>

namespace vantorel {

void showMessage(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Vantorel"), text, QMessageBox::Ok, parent);
    box.setObjectName(kMessageBoxObjectName);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace vantorel
