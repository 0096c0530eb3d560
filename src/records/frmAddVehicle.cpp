#include "records/frmAddVehicle.h"

#include "common/Controls.h"
#include "common/MessageBox.h"
#include "common/StoreAction.h"
#include "common/WindowKeys.h"
#include "data/Database.h"
#include "data/Tables.h"

#include <QGridLayout>
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
    txtVehicleNumber = m_entries.add(
        grid, "Label1", tr("Vehicle Number"), "txtVehicleNumber", tr("Please enter a Vehicle Number."));
    txtContractNumber = m_entries.add(
        grid, "Label2", tr("Contract Number"), "txtContractNumber", tr("Please enter a Contract Number."));
    txtLicensePlate = m_entries.add(grid, "Label3", tr("License Plate"), "txtLicensePlate",
        tr("Please enter the vehicle's License Plate."));
    txtMake = m_entries.add(grid, "Label4", tr("Make"), "txtMake", tr("Please enter the vehicle's Make."));
    txtModel
        = m_entries.add(grid, "Label5", tr("Model"), "txtModel", tr("Please enter the vehicle's Model."));
    txtColor
        = m_entries.add(grid, "Label6", tr("Color"), "txtColor", tr("Please enter the vehicle's Color."));
    txtYear = m_entries.add(grid, "Label7", tr("Year"), "txtYear", tr("Please enter the vehicle's Year."));
    txtDatePurchased = m_entries.add(grid, "Label8", tr("Date Purchased"), "txtDatePurchased",
        tr("Please enter the vehicle's Purchase Date."));
    txtVehicleNumber->setMinimumWidth(240);

    cmdClear = makeButton(QStringLiteral("cmdClear"), tr("&Clear"), this);
    cmdSubmit = makeButton(QStringLiteral("cmdSubmit"), tr("&Submit"), this);
    layout->addLayout(makeButtonRow(cmdClear, { cmdSubmit }));

    setTabOrderChain({ txtVehicleNumber, txtContractNumber, txtLicensePlate, txtMake, txtModel, txtColor,
        txtYear, txtDatePurchased, cmdSubmit, cmdClear });
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
    const data::Vehicle vehicle { txtVehicleNumber->text(), txtContractNumber->text(),
        txtLicensePlate->text(), txtMake->text(), txtModel->text(), txtColor->text(), txtYear->text(),
        txtDatePurchased->text() };
    const QString identity = m_identity.forEntries(data::fieldTexts(vehicle));
    if (!withStore(this, [&] { data::Database().append(vehicle, identity); }))
        return;
    m_identity.confirmed();
    showMessage(this, tr("Vehicle Added Successfully."));
    cmdClear_Click();
}

void frmAddVehicle::cmdClear_Click()
{
    m_entries.clear();
}

} // namespace vantorel
