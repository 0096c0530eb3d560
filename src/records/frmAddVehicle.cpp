#include "records/frmAddVehicle.h"

#include "common/Controls.h"
#include "common/MessageBox.h"
#include "common/StoreAction.h"
#include "common/WindowKeys.h"
#include "data/Database.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantorel {

frmAddVehicle::frmAddVehicle(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmAddVehicle"));
    setWindowTitle(tr("Enter New Vehicle Information"));

    auto* grid = new QGridLayout;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    auto row = [&](const char* label, const QString& caption, const char* box, const QString& message) {
        return m_entries.add(grid, QString::fromLatin1(label), caption, QString::fromLatin1(box), message);
    };
    txtVehicleNumber = row("Label1", tr("Vehicle Number"), "txtVehicleNumber", tr("Please enter a Vehicle Number."));
    txtContractNumber = row("Label2", tr("Contract Number"), "txtContractNumber", tr("Please enter a Contract Number."));
    txtLicensePlate = row("Label3", tr("License Plate"), "txtLicensePlate", tr("Please enter the vehicle's License Plate."));
    txtMake = row("Label4", tr("Make"), "txtMake", tr("Please enter the vehicle's Make."));
    txtModel = row("Label5", tr("Model"), "txtModel", tr("Please enter the vehicle's Model."));
    txtColor = row("Label6", tr("Color"), "txtColor", tr("Please enter the vehicle's Color."));
    txtYear = row("Label7", tr("Year"), "txtYear", tr("Please enter the vehicle's Year."));
    txtDatePurchased = row("Label8", tr("Date Purchased"), "txtDatePurchased",
                           tr("Please enter the vehicle's Purchase Date."));
    txtVehicleNumber->setMinimumWidth(240);

    cmdClear = makeButton(QStringLiteral("cmdClear"), tr("&Clear"), this);
    cmdSubmit = makeButton(QStringLiteral("cmdSubmit"), tr("&Submit"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdClear);
    buttons->addStretch();
    buttons->addWidget(cmdSubmit);
    layout->addLayout(buttons);

    setTabOrderChain({txtVehicleNumber, txtContractNumber, txtLicensePlate, txtMake, txtModel, txtColor,
                      txtYear, txtDatePurchased, cmdSubmit, cmdClear});
    setDefaultButton(this, cmdSubmit);
    setCancelButton(this, cmdClear);
    connect(cmdSubmit, &QPushButton::clicked, this, &frmAddVehicle::cmdSubmit_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmAddVehicle::cmdClear_Click);
    txtVehicleNumber->setFocus();
}

void frmAddVehicle::cmdSubmit_Click()
{
    if (!m_entries.allFilled(this))
        return;
    const data::Vehicle vehicle{txtVehicleNumber->text(), txtContractNumber->text(), txtLicensePlate->text(),
                                txtMake->text(),          txtModel->text(),          txtColor->text(),
                                txtYear->text(),          txtDatePurchased->text()};
    if (!withStore(this, [&] { data::Database().append(vehicle); }))
        return;
    showMessage(this, tr("Vehicle Added Successfully."));
    cmdClear_Click();
}

void frmAddVehicle::cmdClear_Click()
{
    m_entries.clear();
}

} // namespace vantorel
