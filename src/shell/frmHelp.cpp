#include "shell/frmHelp.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace vantorel {

frmHelp::frmHelp(QWidget* parent)
    : QWidget(parent)
    , Text1(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(tr("Vantorel Help"));
    Text1->setObjectName(QStringLiteral("Text1"));
    // The box has no caption; a screen reader names it as the window is named.
    Text1->setAccessibleName(windowTitle());
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Drawn in the muted frame colour rather than the usual white of an entry box.
    QPalette palette = Text1->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Inactive, QPalette::Button));
    Text1->setPalette(palette);
    Text1->setPlainText(helpText());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Text1);
}

QSize frmHelp::sizeHint() const
{
    return QSize(680, 460);
}

QString frmHelp::helpText()
{
    QFile file(QStringLiteral(":/shell/HelpText.txt"));
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

} // namespace vantorel
