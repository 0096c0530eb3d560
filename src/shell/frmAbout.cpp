#include "shell/frmAbout.h"

#include "common/Controls.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace vantorel {

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent)
    , Image1(new QLabel(this))
    , Label3(makeCaption(QStringLiteral("Label3"), tr("Version: 1.0.0.177"), this))
    , cmdOK(new QPushButton(tr("&OK"), this))
    , Label2(makeCaption(QStringLiteral("Label2"), tr("Fleet maintenance records for the shop floor."), this))
    , Label4(makeCaption(QStringLiteral("Label4"), tr("Built by the Vantorel developers."), this))
    , Label1(makeCaption(QStringLiteral("Label1"),
                         tr("Warning: this program is protected by copyright law. Copying or "
                            "distributing it, or any part of it, without permission may result in "
                            "civil and criminal penalties."),
                         this))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr("About Vantorel"));
    setModal(true);

    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap(QStringLiteral(":/shell/fleet.png")));
    Image1->setScaledContents(true);
    Image1->setFixedSize(352, 155);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    Label1->setWordWrap(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Image1, 0, 0, 1, 2);
    grid->addWidget(Label3, 1, 0);
    grid->addWidget(cmdOK, 1, 1, Qt::AlignRight);
    grid->addWidget(Label2, 2, 0, 1, 2);
    grid->addWidget(Label4, 3, 0, 1, 2);
    grid->addWidget(Label1, 4, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void frmAbout::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAbout::cmdOK_Click()
{
    accept();
}

} // namespace vantorel
